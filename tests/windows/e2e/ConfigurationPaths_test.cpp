// Windows paths of every shape in the configuration, through the real
// program: forward slashes, a UNC path to a server that is not there, a drive
// that does not exist, names of 300 characters. Each is taken as the design
// takes it or refused with the design's message; none ends the program
// otherwise than it should.

#include "support/Installation.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>
#include <windows.h>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;

// A drive letter that names no drive here.
std::string missingDrive() {
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter)
        if (!(drives & (1u << (letter - 'A'))))
            return std::string(1, letter) + ":";
    ADD_FAILURE() << "every drive letter is taken";
    return "Q:";
}

std::string withForwardSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// What the program said on standard error, without the carriage returns
// the Windows C runtime adds.
std::string said(const ChildProcess& program) {
    std::string text = program.errors();
    for (std::size_t at; (at = text.find('\r')) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

struct PathCase {
    const char* name;
    std::string inpf, outf;
    // What the one-shot run says on standard error, line by line.
    std::string said;
    bool answered; // a command file put at inpf is answered at outf
};

class ConfigurationPaths : public ::testing::Test {
protected:
    void configure(const std::string& inpf, const std::string& outf) {
        writeFile(installation.file("ConfigTlvPos.TXT"),
                  "TIPO: ETH\r\nIPAD: 127.0.0.1\r\nPORT: " + std::to_string(simulator.port()) +
                      "\r\nINPF: " + inpf + "\r\nOUTF: " + outf + "\r\n");
    }

    Simulator simulator;
    Installation installation{simulator.port()};
};

TEST_F(ConfigurationPaths, EveryShapeIsTakenAsTheDesignTakesItOrRefusedWithItsMessage) {
    const std::string ecr = installation.file("ecr");
    const std::string tooLong = ecr + "\\" + std::string(300, 'x') + ".TXT";
    const std::string drive = missingDrive();
    const std::string driveMissing = "KvlTalvioPos: Directory del file di Input non presente !\n"
                                     "KvlTalvioPos: Directory del file di Output non presente !\n";
    const PathCase cases[] = {
        {"forward slashes", withForwardSlashes(ecr + "/SR_DATI.TXT"),
         withForwardSlashes(ecr + "/SR_OUT.TXT"), "", true},
        {"a UNC path to no server", "\\\\kvl-no-such-host\\ecr\\SR_DATI.TXT",
         "\\\\kvl-no-such-host\\ecr\\SR_OUT.TXT", "", false},
        // Said twice: the resident start-up and the one-shot run each read
        // the configuration.
        {"a drive that does not exist", drive + "\\ECR\\SR_DATI.TXT", drive + "\\ECR\\SR_OUT.TXT",
         driveMissing + driveMissing, false},
        {"300 characters", tooLong, tooLong, "", false},
    };
    for (const PathCase& path : cases) {
        SCOPED_TRACE(path.name);
        configure(path.inpf, path.outf);
        const std::string command = "POS_PAGAME,T1,E1,A000000150,P00\r\n";
        writeFile(installation.commandFile(), command); // where a misread path might lead
        ChildProcess run(installation.program(), {"-E"}, installation.environment);
        ASSERT_EQ(run.wait(60s), 0) << run.errors();
        EXPECT_EQ(said(run), path.said);
        if (path.answered) {
            EXPECT_FALSE(fileExists(installation.commandFile()));
            EXPECT_EQ(valueAfter(readFile(installation.resultFile()), "ESITO_COMANDO = "), "OK");
            std::remove(installation.resultFile().c_str());
        } else {
            EXPECT_EQ(readFile(installation.commandFile()), command) << "another file was taken";
            EXPECT_FALSE(fileExists(installation.resultFile()));
        }
    }
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
}

// The resident service with its command file on a drive that does not exist:
// the configuration's message, then the polling cycle's, and polling stops
// while the program keeps running until it is closed.
TEST_F(ConfigurationPaths, AMissingDriveStopsPollingWithTheDesignsMessage) {
    const std::string drive = missingDrive();
    configure(drive + "\\ECR\\SR_DATI.TXT", installation.resultFile());
    auto bridge = installation.startResident();
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (bridge->errors().find("Creare cartella.") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(said(*bridge),
              "KvlTalvioPos: Directory del file di Input non presente !\n"
              "KvlTalvioPos: Cartella per file di I/O non trovata. Creare cartella.\n");
    EXPECT_TRUE(bridge->running());
    bridge->signal(SIGTERM);
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
}

// A result file of 300 characters cannot be written: the payment runs once,
// the program says so once and keeps the command file, retrying the write on
// every tick without charging again.
TEST_F(ConfigurationPaths, AResultFileThatCannotBeWrittenKeepsTheCommandAndChargesOnce) {
    const std::string tooLong = installation.file("ecr\\" + std::string(300, 'r') + ".TXT");
    configure(installation.commandFile(), tooLong);
    auto bridge = installation.startResident();
    installation.writeCommands({"POS_PAGAME,T1,E1,A000000250,P00"});
    ASSERT_TRUE(waitUntil([&] { return simulator.exchanges("Payment") == 1; }, 30s))
        << bridge->errors();
    ASSERT_TRUE(waitUntil(
        [&] { return said(*bridge).find("Impossibile scrivere") != std::string::npos; }, 30s))
        << bridge->errors();
    std::this_thread::sleep_for(4s); // several ticks, each retrying the write
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
    EXPECT_TRUE(fileExists(installation.commandFile()));
    const std::string text = said(*bridge);
    EXPECT_EQ(text.find("Impossibile scrivere"), text.rfind("Impossibile scrivere"))
        << "said once: " << text;
    EXPECT_TRUE(bridge->running());
    bridge->signal(SIGTERM);
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
}

// A configuration path of 300 characters in the parameter file, or on a
// drive that does not exist, is a configuration that is not there.
TEST_F(ConfigurationPaths, AConfigurationFileThatCannotBeThereEndsTheStartUp) {
    const std::string paths[] = {installation.file(std::string(300, 'c') + ".TXT"),
                                 missingDrive() + "\\KVL\\ConfigTlvPos.TXT",
                                 "\\\\kvl-no-such-host\\kvl\\ConfigTlvPos.TXT"};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path.substr(0, 60));
        writeFile(installation.parameterFile(), "0\r\n" + path + "\r\n\r\n");
        ChildProcess run(installation.program(), {}, installation.environment);
        ASSERT_EQ(run.wait(60s), 1);
        EXPECT_NE(run.errors().find("KvlTalvioPos: ERRORE: File di configurazione non trovato"),
                  std::string::npos)
            << run.errors();
    }
}

} // namespace
} // namespace kvl::test
