// The resident service of the real program, headless, against terminal-sim:
// command files dropped one after another, the close request by signal, and
// a terminal that does not answer at start.

#include "support/Installation.h"

#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;

// Waits until the file is gone (the ECR's signal that the result is complete).
bool waitUntilGone(const std::string& path, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (fileExists(path)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

TEST(ResidentService, AnswersEachDroppedCommandFileOnceInOrder) {
    Simulator simulator;
    Installation installation;
    installation.configureEthernet(simulator.port());
    installation.writeParameters(true);
    auto bridge = installation.startResident();

    const std::vector<std::string> commands = {
        "POS_PAGAME,T1,E1,A000000150,P00",
        "POS_STATUS",
        "POS_ACCRED,T1,E1,A000000150",
    };
    for (const auto& command : commands) {
        installation.writeCommands({command});
        ASSERT_TRUE(waitUntilGone(installation.commandFile(), 20s)) << command << "\n"
                                                                    << bridge->errors();
        // The command file disappears only once its result is complete.
        const std::string result = installation.result();
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

    bridge->signal(SIGTERM);
    EXPECT_EQ(bridge->wait(10s), 0) << bridge->errors();
}

TEST(ResidentService, SigtermEndsCleanlyAndSavesTheParameters) {
    Simulator simulator;
    Installation installation;
    installation.configureEthernet(simulator.port());
    // "1 " is not exactly "1": the log switch is read as off and saved as "0".
    writeFile(installation.parameterFile(), "1 \r\n" + installation.folder() +
                                                "/ConfigTlvPos.TXT\r\n" + installation.logFile() +
                                                "\r\n");
    auto bridge = installation.startResident();
    // Let the start-up finish: its status request reaches the terminal.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (simulator.exchanges("Status") < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    ASSERT_EQ(simulator.exchanges("Status"), 1) << bridge->errors();

    const auto signalled = std::chrono::steady_clock::now();
    bridge->signal(SIGTERM);
    EXPECT_EQ(bridge->wait(10s), 0) << bridge->errors();
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, 3s);
    EXPECT_EQ(readFile(installation.parameterFile()), "0\r\n" + installation.folder() +
                                                          "/ConfigTlvPos.TXT\r\n" +
                                                          installation.logFile() + "\r\n");
}

TEST(ResidentService, ATerminalOffAtStartIsAskedFiveTimesAndPollingStillStarts) {
    TempFolder scenarioFolder;
    writeFile(scenarioFolder.file("scenario"), "status#* drop=before-ack\n");
    Simulator simulator({"--scenario", scenarioFolder.file("scenario")});
    Installation installation;
    installation.configureEthernet(simulator.port());
    auto bridge = installation.startResident();

    // A command that needs no terminal shows that polling runs.
    installation.writeCommands({"POS_PREAUT"});
    ASSERT_TRUE(waitUntilGone(installation.commandFile(), 20s)) << bridge->errors();
    EXPECT_EQ(valueAfter(installation.result(), "EXERR_DESCRIZ = "), "Funzione non disponibile");
    EXPECT_EQ(simulator.exchanges("Status"), 5);

    bridge->signal(SIGTERM);
    EXPECT_EQ(bridge->wait(10s), 0) << bridge->errors();
}

} // namespace
} // namespace kvl::test
