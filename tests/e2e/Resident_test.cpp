// The resident service of the real program, headless, in a temporary program
// folder against terminal-sim on 127.0.0.1: every command file is charged at
// most once and its answer reaches the ECR, through crashes, restarts and
// faulty files. The terminal's exchange log, the library's frame trace and
// the command journal are the witnesses.

#include "support/Installation.h"
#include "support/JournalWitness.h"

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

const std::string Unknown = "Esito sconosciuto: verificare sul terminale";

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
    explicit Bridge(const std::string& scenario = {}, bool log = false)
        : simulator(scenario), installation(simulator.port(), log) {
        installation.environment["IAE17_TRACE"] = installation.file("trace.txt");
    }

    // Payments the library sent to the terminal, over every run.
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
    bool terminalAsked() const {
        return waitUntil([&] { return simulator.exchanges("Status") > 0; }, 20s);
    }

    Simulator simulator;
    Installation installation;
};

// Waits until standard error said the text that often.
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

// A day at the cash desk with the log on: a command file written slowly, a
// second start from another environment, a command written while a payment
// runs, a result folder that goes missing and then a directory in the way of
// the result file. Each command is charged once, in order, and answered whole.
TEST(Resident, ADayOfCommandsIsAnsweredOnceEachInOrder) {
    Bridge bridge("payment#2 delay=1500\n", true);
    Installation& ecr = bridge.installation;
    const std::string out = ecr.file("out"), resultFile = out + "/SR_OUT.TXT";
    fs::create_directory(out);
    ecr.writeConfiguration(resultFile);
    TempFolder runtimeA, runtimeB;
    ecr.environment["XDG_RUNTIME_DIR"] = runtimeA.path();
    auto process = ecr.startResident();
    ASSERT_TRUE(bridge.terminalAsked()) << process->errors();

    const std::string first = "pos_pagame,T00000001,E00000001,A000012345,P01";
    {
        std::ofstream slowly(ecr.commandFile(), std::ios::binary);
        for (const char c : first + "\r\n") {
            slowly << c << std::flush;
            if (c == ',')
                std::this_thread::sleep_for(250ms);
        }
    }
    ASSERT_TRUE(bridge.answered()) << process->errors();
    // Six result lines, then the dump of the terminal's answer, whole.
    const std::string answer = readFile(resultFile);
    const auto lines = crlfLines(answer);
    ASSERT_GT(lines.size(), 6u + 21u);
    EXPECT_EQ(lines[0], "TIPO_COMANDO  = POS_PAGAME,T00000001,E00000001,A000012345,P01");
    EXPECT_EQ(lines[2], "ESITO_TRANSAZ = 00 ") << "the field keeps its padding blank";
    EXPECT_EQ(lines[6] + lines[7], std::string(52, '-') + "POSDATA.TerminalId = 12345678 ");
    EXPECT_EQ(valueAfter(answer, "POSDATA.AmountEcho = "), "000012345");
    EXPECT_EQ(lines.back(), std::string(52, '-'));

    ecr.environment["XDG_RUNTIME_DIR"] = runtimeB.path();
    ecr.environment["HOME"] = runtimeB.path();
    auto second = ecr.startResident();
    EXPECT_EQ(second->wait(10s), 0) << "a second start ends silently";
    EXPECT_EQ(second->errors(), "");

    // The ECR writes the next command while the slow payment runs: it is not
    // deleted unread, it runs next and the result holds its answer.
    ecr.writeCommands({payment("000000100")});
    ASSERT_TRUE(waitUntil([&] { return bridge.paymentsSent() == 2; }, 20s)) << process->errors();
    ecr.writeCommands({payment("000000200")});
    ASSERT_TRUE(bridge.answered(30s));
    EXPECT_EQ(blockCount(readFile(resultFile)), 1);
    EXPECT_EQ(valueAfter(readFile(resultFile), "TIPO_COMANDO  = "), payment("000000200"));

    // The answer cannot be written: the command file stays, the ECR keeps
    // waiting, the write is tried again until it succeeds; each time said once.
    const std::string cannot = "Impossibile scrivere il risultato in " + resultFile + ": ";
    fs::remove_all(out);
    ecr.writeCommands({payment("000000300")});
    ASSERT_TRUE(said(*process, cannot));
    EXPECT_TRUE(fileExists(ecr.commandFile()));
    fs::create_directory(out);
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(blockCount(readFile(resultFile)), 1);
    EXPECT_EQ(occurrences(process->errors(), cannot), 1) << "said once";

    fs::remove(resultFile);
    fs::create_directory(resultFile);
    ecr.writeCommands({payment("000000400")});
    ASSERT_TRUE(said(*process, cannot, 2)) << "said again for the next command";
    EXPECT_TRUE(fileExists(ecr.commandFile()));
    fs::remove(resultFile);
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(valueAfter(readFile(resultFile), "TIPO_COMANDO  = "), payment("000000400"));

    const std::vector<std::string> amounts{"000012345", "000000100", "000000200", "000000300",
                                           "000000400"};
    EXPECT_EQ(bridge.simulator.amounts("Payment"), amounts);
    const std::string log = readFile(ecr.logFile());
    ASSERT_EQ(blockCount(log), 5);
    for (int block = 0; block < 5; ++block)
        EXPECT_EQ(valueAfter(log, "EXERR_DESCRIZ = ", block), "") << block;
    EXPECT_EQ(valueAfter(log, "TIPO_COMANDO  = ", 1), payment("000000100"));

    EXPECT_TRUE(process->running());
    closeBySignal(*process);
    // The instance lock is the kernel's: nothing is left behind.
    EXPECT_TRUE(fs::is_empty(runtimeA.path()) && fs::is_empty(runtimeB.path()));
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(ecr.file("")))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"ConfigTlvPos.TXT", "JournalTlvPos.TXT", "KvlTalvioPos",
                                            "LogTlvPos.TXT", "ParamTlvPos.TXT", "ecr",
                                            "libiae17.so", "out", "trace.txt"}));
}

// A terminal that does not answer at start is asked five times and polling
// starts anyway; SIGTERM saves the parameters ("1 " is not "1": the log is
// off, saved as "0"). "-V" prints the About box and ends with 0; a
// configuration that cannot be read, or a library that cannot be loaded, is
// said on standard error and ends the service with 1.
TEST(Resident, EachStartEndsWithItsStatus) {
    Bridge bridge("status#* drop=before-ack\n");
    Installation& ecr = bridge.installation;
    writeFile(ecr.parameterFile(), ecr.parameters("1 "));
    auto process = ecr.startResident();
    ecr.writeCommands({"POS_PREAUT"});
    ASSERT_TRUE(bridge.answered()) << process->errors();
    EXPECT_EQ(valueAfter(bridge.result(), "EXERR_DESCRIZ = "), "Funzione non disponibile");
    EXPECT_EQ(bridge.simulator.exchanges("Status"), 5);
    EXPECT_FALSE(fileExists(ecr.logFile()));
    closeBySignal(*process);
    EXPECT_EQ(readFile(ecr.parameterFile()), ecr.parameters("0"));

    ChildProcess version(ecr.file("KvlTalvioPos"), {"-V"}, ecr.environment);
    ASSERT_EQ(version.wait(20s), 0) << version.errors();
    EXPECT_EQ(version.output(), "KvlTalvioPos per sistemi Windows 32/64 bit\nVersione 1.0.0.7\n"
                                "Programma per gestione Scambio Importo con POS Ingenico (compat. "
                                "x Windows XP, VISTA / 7 / 8)\n");

    ecr.environment["IAE17_LIBRARY"] = ecr.file("none.so");
    auto noLibrary = ecr.startResident();
    EXPECT_EQ(noLibrary->wait(10s), 1);
    EXPECT_NE(noLibrary->errors().find("Libreria del terminale non caricata (" +
                                       ecr.file("none.so") + "): "),
              std::string::npos);
    ecr.environment.erase("IAE17_LIBRARY");

    fs::remove(ecr.file("ConfigTlvPos.TXT"));
    auto noConfiguration = ecr.startResident();
    ASSERT_EQ(noConfiguration->wait(20s), 1);
    EXPECT_EQ(noConfiguration->errors(),
              "KvlTalvioPos: ERRORE: File di configurazione non trovato\n");
    EXPECT_EQ(bridge.simulator.exchanges("Status"), 10) << "only the first two runs asked";
}

// Killed during a payment, the restart answers the unknown outcome from the
// journal and charges nothing more; a command file that cannot be deleted is
// answered again from the journal after a restart, never charged again.
TEST(Resident, ARestartNeverChargesACommandAgain) {
    Bridge bridge("payment#1 delay=3000\n");
    Installation& ecr = bridge.installation;
    auto killed = ecr.startResident();
    ecr.writeCommands({payment("000000100")});
    ASSERT_TRUE(waitUntil([&] { return bridge.paymentsSent() == 1; }, 20s)) << killed->errors();
    killed->signal(SIGKILL);
    ASSERT_TRUE(killed->wait(5s));
    EXPECT_EQ(bridge.journal(), std::vector<std::string>{"started 1"});

    auto restarted = ecr.startResident();
    ASSERT_TRUE(bridge.answered()) << restarted->errors();
    EXPECT_EQ(blockCount(bridge.result()), 1);
    EXPECT_EQ(valueAfter(bridge.result(), "TIPO_COMANDO  = "), payment("000000100"));
    EXPECT_EQ(valueAfter(bridge.result(), "ESITO_COMANDO = "), "KO");
    EXPECT_EQ(valueAfter(bridge.result(), "EXERR_DESCRIZ = "), Unknown);
    EXPECT_EQ(bridge.journal(),
              (std::vector<std::string>{"started 1", "block 1 0", "answered 1", "done 1 deleted"}));
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
    EXPECT_EQ(blockCount(bridge.result()), 1);
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

// A journal that cannot be written is said once; the bridge goes on as it
// would without one.
TEST(Resident, AJournalThatCannotBeWrittenIsSaidOnceAndCommandsStillRun) {
    Bridge bridge;
    fs::create_directory(bridge.installation.file("JournalTlvPos.TXT"));
    auto process = bridge.installation.startResident();
    for (const char* amount : {"000000100", "000000200"}) {
        bridge.installation.writeCommands({payment(amount)});
        ASSERT_TRUE(bridge.answered()) << process->errors();
        EXPECT_EQ(valueAfter(bridge.result(), "ESITO_COMANDO = "), "OK");
    }
    EXPECT_EQ(occurrences(process->errors(), "Registro dei comandi non scrivibile (" +
                                                 bridge.installation.file("JournalTlvPos.TXT") +
                                                 "): "),
              1)
        << process->errors();
    EXPECT_EQ(bridge.simulator.exchanges("Payment"), 2);
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
    EXPECT_EQ(bridge.simulator.exchanges("Payment"), 1);
}

// A message written to a standard error whose reader is gone does not end
// the program: here the first one, at start, about a port it cannot use.
TEST(Resident, AClosedStandardErrorDoesNotEndTheProgram) {
    Bridge bridge;
    Installation& ecr = bridge.installation;
    writeFile(ecr.file("ConfigTlvPos.TXT"),
              "TIPO: ETH\r\nIPAD: 127.0.0.1\r\nPORT: 12345\r\nINPF: " + ecr.commandFile() +
                  "\r\nOUTF: " + ecr.resultFile() + "\r\n");
    ChildProcess process(ecr.file("KvlTalvioPos"), {}, ecr.environment, ecr.file(""), true);
    ecr.writeCommands({"POS_PREAUT"});
    ASSERT_TRUE(bridge.answered());
    EXPECT_EQ(valueAfter(bridge.result(), "EXERR_DESCRIZ = "), "Funzione non disponibile");
    EXPECT_TRUE(process.running());
    process.signal(SIGTERM);
    EXPECT_EQ(process.wait(10s), 0);
}

// Neither an unreadable parameter file nor a link to one is replaced at close.
TEST(Resident, TheParameterFileIsNeverReplacedByDefaultsAndALinkStaysALink) {
    Bridge bridge;
    const std::string parameters = bridge.installation.parameterFile();
    const std::string kept = readFile(parameters);
    fs::create_directory(bridge.installation.file("settings"));
    const std::string target = bridge.installation.file("settings/ParamTlvPos.TXT");
    fs::rename(parameters, target);
    fs::create_symlink(target, parameters);
    auto linked = bridge.installation.startResident();
    ASSERT_TRUE(bridge.terminalAsked());
    closeBySignal(*linked);
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
    closeBySignal(unreadable);
    fs::permissions(parameters, fs::perms::owner_read);
    EXPECT_EQ(readFile(parameters), kept);
}

} // namespace
} // namespace kvl::test
