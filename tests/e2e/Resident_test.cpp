// The real program's resident service, headless, against terminal-sim: each
// command charged at most once and answered, through crashes and faulty files.

#include "support/Installation.h"
#include "support/JournalWitness.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string payment(const std::string& amount) {
    return "POS_PAGAME,T1,E1,A" + amount + ",P00";
}

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at)
        ++count;
    return count;
}

// An installation whose library traces every frame it sends.
struct Bridge {
    explicit Bridge(const std::string& scenario = {})
        : simulator(scenario), installation(simulator.port()) {
        installation.environment["IAE17_TRACE"] = installation.file("trace.txt");
    }
    int paymentsSent() const {
        const std::string trace = installation.file("trace.txt");
        return occurrences(fileExists(trace) ? readFile(trace) : "", " send Payment ");
    }
    // The ECR's sign that the answer is complete: the command file is gone.
    bool answered(std::chrono::milliseconds timeout = 20s) const {
        return waitUntil([&] { return !fileExists(installation.commandFile()); }, timeout);
    }
    std::string result() const { return readFile(installation.resultFile()); }
    std::vector<std::string> journal() const {
        const std::string path = installation.file("JournalTlvPos.TXT");
        return journalRecords(fileExists(path) ? readFile(path) : std::string());
    }
    // Each command's block journalled before its answer, its file deleted last
    // (but the one the ECR replaced meanwhile); the terminal charged each
    // amount once, in order.
    void expectChargedOnceEach(const std::vector<std::string>& amounts,
                               std::size_t replaced = 0) const {
        std::vector<std::string> records;
        for (std::size_t n = 1; n <= amounts.size(); ++n) {
            const std::string id = std::to_string(n);
            records.insert(records.end(),
                           {"started " + id, "block " + id + " 0", "answered " + id,
                            "done " + id + (n == replaced ? " replaced" : " deleted")});
        }
        EXPECT_EQ(journal(), records);
        EXPECT_EQ(simulator.amounts("Payment"), amounts);
        EXPECT_EQ(paymentsSent(), static_cast<int>(amounts.size()));
    }
    bool terminalAsked() const {
        return waitUntil([&] { return simulator.exchanges("Status") > 0; }, 20s);
    }

    Simulator simulator;
    Installation installation;
};

bool said(ChildProcess& process, const std::string& text, int times = 1) {
    return waitUntil([&] { return occurrences(process.errors(), text) >= times; }, 20s);
}

// SIGTERM is the close request answered OK: the bridge ends cleanly and at once.
void closeBySignal(ChildProcess& bridge) {
    const auto signalled = std::chrono::steady_clock::now();
    bridge.signal(SIGTERM);
    EXPECT_EQ(bridge.wait(10s), 0) << bridge.errors();
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, 3s);
}

std::set<std::string> lockLikeNamesInTmp() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator("/tmp")) {
        std::string name = entry.path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        if (name.find("kvltalvio") != std::string::npos || name.find("lock") != std::string::npos)
            names.insert(name);
    }
    return names;
}

// A command file written slowly, a second start from another environment, a
// command written while a payment runs, a result folder that goes missing
// and then a directory in the way of the result file.
TEST(Resident, ADayOfCommandsIsAnsweredOnceEachInOrder) {
    Bridge bridge("payment#2 delay=1500\n");
    Installation& ecr = bridge.installation;
    const std::string out = ecr.file("out"), resultFile = out + "/SR_OUT.TXT";
    fs::create_directory(out);
    ecr.writeConfiguration(resultFile);
    TempFolder runtimeA, runtimeB;
    ecr.environment["XDG_RUNTIME_DIR"] = ecr.environment["TMPDIR"] = runtimeA.path();
    const auto tmpBefore = lockLikeNamesInTmp();
    auto process = ecr.startResident();
    ASSERT_TRUE(bridge.terminalAsked()) << process->errors();

    const std::string first = "pos_pagame,T00000001,E00000001,A000012345,P01\r\n";
    {
        std::ofstream slowly(ecr.commandFile(), std::ios::binary);
        for (std::size_t at = 0; at < first.size(); at += 4) {
            slowly << first.substr(at, 4) << std::flush;
            std::this_thread::sleep_for(250ms);
        }
    }
    ASSERT_TRUE(bridge.answered()) << process->errors();
    const auto lines = crlfLines(readFile(resultFile));
    ASSERT_GT(lines.size(), 6u + 21u) << "six result lines, then the answer's dump";
    EXPECT_EQ(lines[0], "TIPO_COMANDO  = POS_PAGAME,T00000001,E00000001,A000012345,P01");
    EXPECT_EQ(lines[2], "ESITO_TRANSAZ = 00 ") << "the field keeps its padding blank";
    EXPECT_EQ(valueAfter(readFile(resultFile), "POSDATA.AmountEcho = "), "000012345");
    EXPECT_EQ(lines.back(), std::string(52, '-'));

    ecr.environment["XDG_RUNTIME_DIR"] = ecr.environment["HOME"] = runtimeB.path();
    auto second = ecr.startResident();
    EXPECT_EQ(second->wait(10s), 0) << "a second start ends silently";
    EXPECT_EQ(second->errors(), "");

    // Written while the slow payment runs: not deleted unread, it runs next.
    ecr.writeCommands({payment("000000100")});
    ASSERT_TRUE(waitUntil([&] { return bridge.paymentsSent() == 2; }, 20s)) << process->errors();
    ecr.writeCommands({payment("000000200")});
    ASSERT_TRUE(bridge.answered(30s));
    EXPECT_EQ(valueAfter(readFile(resultFile), "TIPO_COMANDO  = "), payment("000000200"));

    // The answer cannot be written: the command file stays, the write is tried
    // again until it succeeds; said once for each command.
    const std::string cannot = "Impossibile scrivere il risultato in " + resultFile + ": ";
    fs::remove_all(out);
    ecr.writeCommands({payment("000000300")});
    ASSERT_TRUE(said(*process, cannot));
    EXPECT_TRUE(fileExists(ecr.commandFile()));
    fs::create_directory(out);
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(occurrences(process->errors(), cannot), 1);
    fs::remove(resultFile);
    fs::create_directory(resultFile);
    ecr.writeCommands({payment("000000400")});
    ASSERT_TRUE(said(*process, cannot, 2));
    EXPECT_TRUE(fileExists(ecr.commandFile()));
    fs::remove(resultFile);
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(blockCount(readFile(resultFile)), 1);
    EXPECT_EQ(valueAfter(readFile(resultFile), "TIPO_COMANDO  = "), payment("000000400"));
    bridge.expectChargedOnceEach({"000012345", "000000100", "000000200", "000000300", "000000400"},
                                 2);

    closeBySignal(*process);
    // The instance lock is the kernel's: nothing is left behind.
    EXPECT_TRUE(fs::is_empty(runtimeA.path()) && fs::is_empty(runtimeB.path()));
    EXPECT_EQ(lockLikeNamesInTmp(), tmpBefore);
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(ecr.file("")))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names,
              (std::set<std::string>{"ConfigTlvPos.TXT", "JournalTlvPos.TXT", "KvlTalvioPos",
                                     "ParamTlvPos.TXT", "ecr", "libiae17.so", "out", "trace.txt"}));
}

// Without its library the service ends with 1. Killed during a payment, the
// restart answers the unknown outcome from the journal and charges nothing
// more; a command file that cannot be deleted is answered again from the
// journal after a restart, never charged again.
TEST(Resident, ARestartNeverChargesACommandAgain) {
    Bridge bridge("payment#1 delay=3000\n");
    Installation& ecr = bridge.installation;
    ecr.environment["IAE17_LIBRARY"] = ecr.file("none.so");
    ecr.writeCommands({payment("000000100")});
    auto noLibrary = ecr.startResident();
    EXPECT_EQ(noLibrary->wait(10s), 1);
    EXPECT_NE(noLibrary->errors().find("Libreria del terminale non caricata (" +
                                       ecr.file("none.so") + "): "),
              std::string::npos);
    EXPECT_TRUE(fileExists(ecr.commandFile()));
    ecr.environment.erase("IAE17_LIBRARY");

    auto killed = ecr.startResident();
    ASSERT_TRUE(waitUntil([&] { return bridge.paymentsSent() == 1; }, 20s)) << killed->errors();
    killed->signal(SIGKILL);
    ASSERT_TRUE(killed->wait(5s));
    EXPECT_EQ(bridge.journal(), std::vector<std::string>{"started 1"});

    auto restarted = ecr.startResident();
    ASSERT_TRUE(bridge.answered()) << restarted->errors();
    EXPECT_EQ(blockCount(bridge.result()), 1);
    EXPECT_EQ(valueAfter(bridge.result(), "ESITO_COMANDO = "), "KO");
    EXPECT_EQ(valueAfter(bridge.result(), "EXERR_DESCRIZ = "),
              "Esito sconosciuto: verificare sul terminale");
    bridge.expectChargedOnceEach({"000000100"});
    closeBySignal(*restarted);

    const std::string command = ecr.commandFile();
    ecr.writeCommands({payment("000000200")});
    if (std::system(("chattr +i '" + command + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "chattr +i is not supported here (needs root and a file system with it)";
    struct Mutable {
        std::string path;
        ~Mutable() { std::system(("chattr -i '" + path + "' 2>/dev/null").c_str()); }
    } unlockAtEnd{command};
    auto holding = ecr.startResident();
    ASSERT_TRUE(waitUntil([&] { return bridge.journal().size() == 7; }, 20s)) << holding->errors();
    holding->signal(SIGKILL);
    holding->wait(5s);
    fs::remove(ecr.resultFile()); // as the next start-up does

    auto again = ecr.startResident();
    ASSERT_TRUE(waitUntil(
        [&] { return fileExists(ecr.resultFile()) && blockCount(bridge.result()) == 1; }, 20s))
        << again->errors();
    EXPECT_EQ(valueAfter(bridge.result(), "ESITO_COMANDO = "), "OK");
    std::system(("chattr -i '" + command + "'").c_str());
    ASSERT_TRUE(bridge.answered(30s));
    EXPECT_EQ(bridge.journal().back(), "done 2 deleted");
    EXPECT_EQ(bridge.paymentsSent(), 2);
    EXPECT_EQ(bridge.simulator.amounts("Payment"),
              (std::vector<std::string>{"000000100", "000000200"}));
}

TEST(Resident, AJournalThatCannotBeWrittenIsSaidOnceAndCommandsStillRun) {
    Bridge bridge;
    const std::string journal = bridge.installation.file("JournalTlvPos.TXT");
    fs::create_directory(journal);
    auto process = bridge.installation.startResident();
    for (const char* amount : {"000000100", "000000200"}) {
        bridge.installation.writeCommands({payment(amount)});
        ASSERT_TRUE(bridge.answered()) << process->errors();
        EXPECT_EQ(valueAfter(bridge.result(), "ESITO_COMANDO = "), "OK");
    }
    EXPECT_EQ(occurrences(process->errors(), "Registro dei comandi non scrivibile (" + journal), 1)
        << process->errors();
    EXPECT_EQ(bridge.simulator.amounts("Payment"),
              (std::vector<std::string>{"000000100", "000000200"}));
}

TEST(Resident, OnAFullDiskNoEmptyResultIsLeftAndTheAnswerComesOnceThereIsRoom) {
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
    bridge.installation.writeCommands({payment("000000100")});
    ASSERT_TRUE(said(*process, "Impossibile scrivere il risultato in " + resultFile));
    EXPECT_FALSE(fileExists(resultFile)) << "no empty or cut result";
    EXPECT_TRUE(fileExists(bridge.installation.commandFile()));
    fs::remove(disk + "/filler");
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(blockCount(readFile(resultFile)), 1);
    bridge.expectChargedOnceEach({"000000100"});
}

// Standard error a pipe whose reader is gone, the parameter file a link to a
// file the bridge cannot read (run as nobody when root): a message that
// cannot be written does not end the program, and at close neither the link
// nor its file is replaced by the defaults.
TEST(Resident, AClosedStandardErrorAndAnUnreadableLinkedParameterFileChangeNothing) {
    Bridge bridge;
    Installation& ecr = bridge.installation;
    const std::string parameters = ecr.parameterFile(), kept = readFile(parameters);
    const std::string target = ecr.file("settings/ParamTlvPos.TXT");
    fs::create_directory(ecr.file("settings"));
    fs::rename(parameters, target);
    fs::create_symlink(target, parameters);
    fs::permissions(target, fs::perms::none);
    const std::string out = ecr.file("out");
    ecr.writeConfiguration(out + "/SR_OUT.TXT");
    std::string program = ecr.file("KvlTalvioPos");
    std::vector<std::string> arguments;
    if (::geteuid() == 0) {
        if (!fs::exists("/usr/bin/setpriv"))
            GTEST_SKIP() << "setpriv is needed to run the bridge as another user";
        for (const std::string& folder : {ecr.file(""), ecr.file("ecr")})
            fs::permissions(folder, fs::perms::all);
        arguments = {"--reuid=65534", "--regid=65534", "--clear-groups", program};
        program = "/usr/bin/setpriv";
    }
    ChildProcess process(program, arguments, ecr.environment, ecr.file(""), true);
    ASSERT_TRUE(bridge.terminalAsked());
    ecr.writeCommands({payment("000000100")});
    ASSERT_TRUE(waitUntil([&] { return bridge.paymentsSent() == 1; }, 20s));
    std::this_thread::sleep_for(500ms); // the result folder is missing: said, to no reader
    ASSERT_TRUE(process.running());
    fs::create_directory(out);
    fs::permissions(out, fs::perms::all);
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(valueAfter(readFile(out + "/SR_OUT.TXT"), "ESITO_COMANDO = "), "OK");
    bridge.expectChargedOnceEach({"000000100"});
    closeBySignal(process);
    EXPECT_TRUE(fs::is_symlink(parameters));
    fs::permissions(target, fs::perms::owner_read);
    EXPECT_EQ(readFile(target), kept);
}

} // namespace
} // namespace kvl::test
