// The resident service of the real program, headless, against terminal-sim:
// command files dropped one after another, the close request by signal, and
// a terminal that does not answer at start.

#include "support/Installation.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Waits until the command file is gone: the ECR's signal that the result is complete.
bool answered(const Installation& installation) {
    const auto deadline = Clock::now() + 20s;
    while (fileExists(installation.commandFile()) && Clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    return !fileExists(installation.commandFile());
}

// SIGTERM is the close request: the bridge ends cleanly and at once.
void closeBySignal(ChildProcess& bridge) {
    const auto signalled = Clock::now();
    bridge.signal(SIGTERM);
    EXPECT_EQ(bridge.wait(10s), 0) << bridge.errors();
    EXPECT_LT(Clock::now() - signalled, 3s);
}

TEST(ResidentService, AnswersEachDroppedCommandFileOnceInOrder) {
    Simulator simulator;
    Installation installation(simulator.port(), true);
    auto bridge = installation.startResident();

    const std::vector<std::string> commands = {
        "POS_PAGAME,T1,E1,A000000150,P00",
        "POS_STATUS",
        "POS_ACCRED,T1,E1,A000000150",
    };
    for (const auto& command : commands) {
        installation.writeCommands({command});
        ASSERT_TRUE(answered(installation)) << command << "\n" << bridge->errors();
        const std::string result = readFile(installation.resultFile());
        ASSERT_EQ(blockCount(result), 1) << command;
        EXPECT_EQ(valueAfter(result, "TIPO_COMANDO  = "), command);
        EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = "), "OK") << command;
        EXPECT_EQ(crlfLines(result).back(), std::string(52, '-')) << "the whole dump";
    }

    const std::string log = readFile(installation.logFile());
    ASSERT_EQ(blockCount(log), 3);
    for (int block = 0; block < 3; ++block)
        EXPECT_EQ(valueAfter(log, "TIPO_COMANDO  = ", block), commands[block]);
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
    EXPECT_EQ(simulator.exchanges("Refund"), 1);
    closeBySignal(*bridge);
}

TEST(ResidentService, ATerminalOffAtStartIsAskedFiveTimesPollingStartsAndSigtermSaves) {
    Simulator simulator("status#* drop=before-ack\n");
    Installation installation(simulator.port());
    // "1 " is not exactly "1": the log switch is read as off and saved as "0".
    writeFile(installation.parameterFile(), installation.parameters("1 "));
    auto bridge = installation.startResident();

    // A command that needs no terminal shows that polling runs.
    installation.writeCommands({"POS_PREAUT"});
    ASSERT_TRUE(answered(installation)) << bridge->errors();
    EXPECT_EQ(valueAfter(readFile(installation.resultFile()), "EXERR_DESCRIZ = "),
              "Funzione non disponibile");
    EXPECT_EQ(simulator.exchanges("Status"), 5);
    EXPECT_FALSE(fileExists(installation.logFile()));

    closeBySignal(*bridge);
    EXPECT_EQ(readFile(installation.parameterFile()), installation.parameters("0"));
}

// The program ends through its event loop with the status of what ended it:
// "-V" headless prints the About box and ends with 0; a configuration that
// cannot be read is said on standard error and ends the start-up with 1.
TEST(ResidentService, AnEndDuringTheStartUpGivesItsStatus) {
    Simulator simulator;
    Installation installation(simulator.port());
    ChildProcess version(installation.file("KvlTalvioPos"), {"-V"}, installation.environment);
    ASSERT_EQ(version.wait(20s), 0) << version.errors();
    EXPECT_EQ(version.output(), "KvlTalvioPos per sistemi Windows 32/64 bit\nVersione 1.0.0.7\n"
                                "Programma per gestione Scambio Importo con POS Ingenico (compat. "
                                "x Windows XP, VISTA / 7 / 8)\n");

    std::filesystem::remove(installation.file("ConfigTlvPos.TXT"));
    ChildProcess broken(installation.file("KvlTalvioPos"), {}, installation.environment);
    ASSERT_EQ(broken.wait(20s), 1);
    EXPECT_EQ(broken.errors(), "KvlTalvioPos: ERRORE: File di configurazione non trovato\n");
    EXPECT_EQ(simulator.exchanges("Status"), 1) << "only the Version run asked the terminal";
}

} // namespace
} // namespace kvl::test
