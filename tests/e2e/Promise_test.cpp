// The bridge's promise through crashes, restarts and faulty files: every
// command file is charged at most once and its answer reaches the ECR. The
// real program runs headless in a temporary program folder against
// terminal-sim on 127.0.0.1; the terminal's exchange log, the library's frame
// trace and the command journal are the witnesses.

#include "support/Installation.h"
#include "support/JournalWitness.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Every payment takes this long at the terminal, so that there is time to
// act while one runs.
const std::string SlowPayments = "payment#* delay=3000\n";
const std::string Payment = "POS_PAGAME,T1,E1,A000000100,P00";
const std::string Unknown = "Esito sconosciuto: verificare sul terminale";

// An installation whose library traces every frame it sends.
struct Bridge {
    explicit Bridge(const std::string& scenario = {}) : simulator(scenario) {
        installation.environment["IAE17_TRACE"] = installation.file("trace.txt");
    }

    // Payments the library sent to the terminal, over every run.
    int paymentsSent() const {
        const std::string trace = installation.file("trace.txt");
        const std::string text = fileExists(trace) ? readFile(trace) : "";
        int count = 0;
        for (std::size_t at = 0; (at = text.find(" send Payment ", at)) != std::string::npos; ++at)
            ++count;
        return count;
    }
    // The ECR's sign that the answer is complete: the command file is gone.
    bool answered(std::chrono::milliseconds timeout = 20s) const {
        return waitUntil([&] { return !fileExists(installation.commandFile()); }, timeout);
    }
    std::string result() const { return readFile(installation.resultFile()); }
    // The command journal's records, as journalRecords gives them.
    std::vector<std::string> journal() const {
        const std::string path = installation.file("JournalTlvPos.TXT");
        return journalRecords(fileExists(path) ? readFile(path) : std::string());
    }

    Simulator simulator;
    Installation installation{simulator.port()};
};

bool saysLine(ChildProcess& process, const std::string& text) {
    return waitUntil([&] { return process.errors().find(text) != std::string::npos; }, 20s);
}

TEST(Promise, TwoStartsWithDifferentEnvironmentsFindEachOtherAndLeaveNoLockFile) {
    Bridge bridge;
    TempFolder runtimeA, runtimeB;
    bridge.installation.environment["XDG_RUNTIME_DIR"] = runtimeA.path();
    auto first = bridge.installation.startResident();
    bridge.installation.writeCommands({Payment});
    ASSERT_TRUE(bridge.answered()) << first->errors();

    bridge.installation.environment["XDG_RUNTIME_DIR"] = runtimeB.path();
    bridge.installation.environment["HOME"] = runtimeB.path();
    auto second = bridge.installation.startResident();
    EXPECT_EQ(second->wait(10s), 0) << "a second start ends silently";
    EXPECT_EQ(second->errors(), "");
    EXPECT_TRUE(first->running());

    bridge.installation.writeCommands({Payment});
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(bridge.simulator.exchanges("Payment"), 2);
    EXPECT_TRUE(fs::is_empty(runtimeA.path()) && fs::is_empty(runtimeB.path()));
}

// A journal that cannot be written is said once; the bridge goes on as it
// would without one.
TEST(Promise, AJournalThatCannotBeWrittenIsSaidOnceAndCommandsStillRun) {
    Bridge bridge;
    fs::create_directory(bridge.installation.file("JournalTlvPos.TXT"));
    auto process = bridge.installation.startResident();
    for (const char* amount : {"000000100", "000000200"}) {
        bridge.installation.writeCommands({"POS_PAGAME,T1,E1,A" + std::string(amount) + ",P00"});
        ASSERT_TRUE(bridge.answered()) << process->errors();
        EXPECT_EQ(valueAfter(bridge.result(), "ESITO_COMANDO = "), "OK");
    }
    const std::string errors = process->errors();
    const std::string said = "Registro dei comandi non scrivibile (" +
                             bridge.installation.file("JournalTlvPos.TXT") + "): ";
    EXPECT_NE(errors.find(said), std::string::npos) << errors;
    EXPECT_EQ(errors.find(said), errors.rfind(said)) << "once";
    EXPECT_EQ(bridge.simulator.exchanges("Payment"), 2);
}

TEST(Promise, KilledDuringAPaymentTheRestartAnswersUnknownAndChargesNothingMore) {
    Bridge bridge(SlowPayments);
    auto killed = bridge.installation.startResident();
    bridge.installation.writeCommands({Payment});
    ASSERT_TRUE(waitUntil([&] { return bridge.paymentsSent() == 1; }, 20s)) << killed->errors();
    killed->signal(SIGKILL);
    ASSERT_TRUE(killed->wait(5s));
    EXPECT_EQ(bridge.journal(), std::vector<std::string>{"started 1"});
    EXPECT_TRUE(fileExists(bridge.installation.commandFile()));

    auto restarted = bridge.installation.startResident();
    ASSERT_TRUE(bridge.answered()) << restarted->errors();
    const std::string result = bridge.result();
    EXPECT_EQ(blockCount(result), 1);
    EXPECT_EQ(valueAfter(result, "TIPO_COMANDO  = "), Payment);
    EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = "), "KO");
    EXPECT_EQ(valueAfter(result, "EXERR_DESCRIZ = "), Unknown);
    EXPECT_EQ(bridge.journal(),
              (std::vector<std::string>{"started 1", "block 1 0", "answered 1", "done 1 deleted"}));
    EXPECT_EQ(bridge.paymentsSent(), 1);
}

TEST(Promise, AFileThatCannotBeDeletedIsNotChargedAgainAfterARestart) {
    Bridge bridge;
    const std::string command = bridge.installation.commandFile();
    bridge.installation.writeCommands({Payment});
    if (std::system(("chattr +i '" + command + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "chattr +i is not supported here (needs root and a file system with it)";
    struct Mutable {
        std::string path;
        ~Mutable() { std::system(("chattr -i '" + path + "' 2>/dev/null").c_str()); }
    } unlockAtEnd{command};

    auto first = bridge.installation.startResident();
    ASSERT_TRUE(waitUntil([&] { return bridge.journal().size() == 3; }, 20s)) << first->errors();
    first->signal(SIGKILL);
    first->wait(5s);
    EXPECT_EQ(blockCount(bridge.result()), 1);
    fs::remove(bridge.installation.resultFile()); // as the next start-up does

    auto second = bridge.installation.startResident();
    // The answer comes back from the journal.
    ASSERT_TRUE(waitUntil(
        [&] {
            return fileExists(bridge.installation.resultFile()) && blockCount(bridge.result()) == 1;
        },
        20s))
        << second->errors();
    EXPECT_EQ(valueAfter(bridge.result(), "ESITO_COMANDO = "), "OK");
    std::system(("chattr -i '" + command + "'").c_str());
    ASSERT_TRUE(bridge.answered(30s));
    EXPECT_EQ(bridge.journal().back(), "done 1 deleted");
    EXPECT_EQ(bridge.paymentsSent(), 1);
    EXPECT_EQ(bridge.simulator.exchanges("Payment"), 1);
}

// The answer cannot be written: the command file stays, the ECR keeps
// waiting, the write is tried again until it succeeds.
TEST(Promise, AnAnswerThatCannotBeWrittenWaitsForAMissingFolderOrADirectoryInTheWay) {
    Bridge bridge;
    const std::string out = bridge.installation.file("out");
    const std::string resultFile = out + "/SR_OUT.TXT";
    bridge.installation.writeConfiguration(resultFile);
    auto process = bridge.installation.startResident();

    bridge.installation.writeCommands({Payment});
    ASSERT_TRUE(saysLine(*process, "Impossibile scrivere il risultato in " + resultFile + ": "));
    EXPECT_TRUE(fileExists(bridge.installation.commandFile()));
    fs::create_directory(out);
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(blockCount(readFile(resultFile)), 1);

    fs::remove(resultFile);
    fs::create_directory(resultFile);
    bridge.installation.writeCommands({"POS_PAGAME,T1,E1,A000000200,P00"});
    ASSERT_TRUE(waitUntil(
        [&] {
            const std::string errors = process->errors();
            return errors.find("Impossibile") != errors.rfind("Impossibile");
        },
        20s))
        << "said again for the next command";
    EXPECT_TRUE(fileExists(bridge.installation.commandFile()));
    fs::remove(resultFile);
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(valueAfter(readFile(resultFile), "TIPO_COMANDO  = "),
              "POS_PAGAME,T1,E1,A000000200,P00");
    EXPECT_EQ(bridge.simulator.amounts("Payment"),
              (std::vector<std::string>{"000000100", "000000200"}));
}

TEST(Promise, OnAFullDiskNoEmptyResultIsLeftAndTheAnswerComesOnceThereIsRoom) {
    Bridge bridge;
    const std::string disk = bridge.installation.file("disk");
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmountAtEnd{disk};
    {
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string chunk(4096, 'x');
        while (filler.write(chunk.data(), chunk.size()) && filler.flush()) {
        }
    }
    const std::string resultFile = disk + "/SR_OUT.TXT";
    bridge.installation.writeConfiguration(resultFile);
    auto process = bridge.installation.startResident();

    bridge.installation.writeCommands({Payment});
    ASSERT_TRUE(saysLine(*process, "Impossibile scrivere il risultato in " + resultFile));
    EXPECT_FALSE(fileExists(resultFile)) << "no empty or cut result";
    EXPECT_TRUE(fileExists(bridge.installation.commandFile()));
    fs::remove(disk + "/filler");
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(blockCount(readFile(resultFile)), 1);
    EXPECT_EQ(bridge.simulator.exchanges("Payment"), 1);
}

// The ECR wrote a new command while a payment ran: it is not deleted unread,
// it runs next, and the result holds its answer, not the previous one.
TEST(Promise, ACommandFileWrittenDuringAPaymentRunsNext) {
    Bridge bridge(SlowPayments);
    auto process = bridge.installation.startResident();
    bridge.installation.writeCommands({Payment});
    ASSERT_TRUE(waitUntil([&] { return bridge.paymentsSent() == 1; }, 20s)) << process->errors();
    const std::string next = "POS_PAGAME,T1,E1,A000000200,P00";
    bridge.installation.writeCommands({next});
    ASSERT_TRUE(bridge.answered(30s));
    EXPECT_EQ(blockCount(bridge.result()), 1);
    EXPECT_EQ(valueAfter(bridge.result(), "TIPO_COMANDO  = "), next);
    EXPECT_EQ(bridge.simulator.amounts("Payment"),
              (std::vector<std::string>{"000000100", "000000200"}));
}

TEST(Promise, ACommandFileWrittenSlowlyIsReadWhole) {
    Bridge bridge;
    auto process = bridge.installation.startResident();
    ASSERT_TRUE(waitUntil([&] { return bridge.simulator.exchanges("Status") > 0; }, 20s));
    const std::string bytes = "POS_PAGAME,T1,E1,A000012345,P00\r\n";
    {
        std::ofstream out(bridge.installation.commandFile(), std::ios::binary);
        for (std::size_t at = 0; at < bytes.size(); at += 4) {
            out << bytes.substr(at, 4) << std::flush;
            std::this_thread::sleep_for(250ms);
        }
    }
    ASSERT_TRUE(bridge.answered()) << process->errors();
    EXPECT_EQ(bridge.simulator.amounts("Payment"), std::vector<std::string>{"000012345"});
}

// A message written to a standard error whose reader is gone does not end
// the program: here the first one, at start, about a port it cannot use.
TEST(Promise, AClosedStandardErrorDoesNotEndTheProgram) {
    Bridge bridge;
    writeFile(bridge.installation.file("ConfigTlvPos.TXT"),
              "TIPO: ETH\r\nIPAD: 127.0.0.1\r\nPORT: 12345\r\nINPF: " +
                  bridge.installation.commandFile() +
                  "\r\nOUTF: " + bridge.installation.resultFile() + "\r\n");
    ChildProcess process(bridge.installation.file("KvlTalvioPos"), {},
                         bridge.installation.environment, bridge.installation.file(""), true);
    bridge.installation.writeCommands({"POS_PREAUT"});
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(valueAfter(bridge.result(), "EXERR_DESCRIZ = "), "Funzione non disponibile");
    EXPECT_TRUE(process.running());
    process.signal(SIGTERM);
    EXPECT_EQ(process.wait(10s), 0);
}

// Neither an unreadable parameter file nor a link to one is replaced at close.
TEST(Promise, TheParameterFileIsNeverReplacedByDefaultsAndALinkStaysALink) {
    Bridge bridge;
    const std::string parameters = bridge.installation.parameterFile();
    const std::string kept = readFile(parameters);
    fs::create_directory(bridge.installation.file("settings"));
    const std::string target = bridge.installation.file("settings/ParamTlvPos.TXT");
    fs::rename(parameters, target);
    fs::create_symlink(target, parameters);
    auto linked = bridge.installation.startResident();
    ASSERT_TRUE(waitUntil([&] { return bridge.simulator.exchanges("Status") > 0; }, 20s));
    linked->signal(SIGTERM);
    EXPECT_EQ(linked->wait(10s), 0);
    EXPECT_TRUE(fs::is_symlink(parameters));
    EXPECT_EQ(readFile(target), kept);

    // Unreadable: for root, the bridge runs as nobody.
    fs::remove(parameters);
    writeFile(parameters, kept);
    fs::permissions(parameters, fs::perms::none);
    std::string program = bridge.installation.file("KvlTalvioPos");
    std::vector<std::string> arguments;
    if (::geteuid() == 0) {
        if (!fs::exists("/usr/bin/setpriv"))
            GTEST_SKIP() << "setpriv is needed to run the bridge as another user";
        fs::permissions(bridge.installation.file(""), fs::perms::all);
        arguments = {"--reuid=65534", "--regid=65534", "--clear-groups", program};
        program = "/usr/bin/setpriv";
    }
    ChildProcess unreadable(program, arguments, bridge.installation.environment,
                            bridge.installation.file(""));
    ASSERT_TRUE(waitUntil([&] { return bridge.simulator.exchanges("Status") > 1; }, 20s))
        << unreadable.errors();
    unreadable.signal(SIGTERM);
    EXPECT_EQ(unreadable.wait(10s), 0);
    fs::permissions(parameters, fs::perms::owner_read);
    EXPECT_EQ(readFile(parameters), kept);
}

// Without its library the resident service says so and ends; the one-shot
// run answers every command line with the reason and deletes the file.
TEST(Promise, ALibraryThatCannotBeLoadedEndsTheServiceAndAnswersTheOneShotRun) {
    Bridge bridge;
    bridge.installation.environment["IAE17_LIBRARY"] = bridge.installation.file("none.so");
    auto resident = bridge.installation.startResident();
    EXPECT_EQ(resident->wait(10s), 1);
    EXPECT_NE(resident->errors().find("Libreria del terminale non caricata ("), std::string::npos);

    const std::string result = bridge.installation.runOnce({Payment, "POS_STATUS"});
    ASSERT_EQ(blockCount(result), 2);
    for (int block = 0; block < 2; ++block) {
        EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = ", block), "KO");
        EXPECT_EQ(valueAfter(result, "EXERR_DESCRIZ = ", block)
                      .rfind("Libreria del terminale non caricata (" +
                                 bridge.installation.file("none.so") + "): ",
                             0),
                  0u);
    }
}

// Lines end at a lone CR too, the last one included; a very long line is
// answered like any other.
TEST(Promise, LoneCarriageReturnsEndLinesAndALongLineIsAnswered) {
    Bridge bridge;
    writeFile(bridge.installation.commandFile(), "pos_status\r" + Payment + "\r");
    std::string result = bridge.installation.runOnce({});
    ASSERT_EQ(blockCount(result), 2);
    EXPECT_EQ(valueAfter(result, "TIPO_COMANDO  = "), "POS_STATUS");
    EXPECT_EQ(valueAfter(result, "TIPO_COMANDO  = ", 1), Payment);
    EXPECT_EQ(bridge.simulator.amounts("Payment"), std::vector<std::string>{"000000100"});

    const std::string longLine = "POS_PAGAME,T1,E1,A" + std::string(16 << 20, '7');
    writeFile(bridge.installation.commandFile(), longLine + "\r\n");
    result = bridge.installation.runOnce({});
    EXPECT_EQ(valueAfter(result, "TIPO_COMANDO  = "), longLine);
    EXPECT_EQ(valueAfter(result, "EXERR_DESCRIZ = "), "Valore importo non valido");
    EXPECT_EQ(bridge.simulator.exchanges("Payment"), 1);
}

} // namespace
} // namespace kvl::test
