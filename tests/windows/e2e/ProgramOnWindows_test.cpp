// The real KvlTalvioPos.exe with Iae17.dll against terminal-sim.exe, headless,
// in temporary program folders: the round trip whose result is compared with
// the Linux build's, a second start, hidden and held command files, and
// Windows paths of every shape in the configuration.

#include "support/Installation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <thread>
#include <windows.h>

#include <shlobj.h>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;

// The program requires its data folder on the systems it takes for Vista, 7
// and 8 (wine reports one of them); made once, as the installer makes it.
class DataFolder : public ::testing::Environment {
    void SetUp() override {
        char common[MAX_PATH] = {};
        ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, common, CSIDL_COMMON_APPDATA, TRUE));
        ::CreateDirectoryA((std::string(common) + "\\KvlTalvioPos").c_str(), nullptr);
    }
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new DataFolder);

// The one-shot round trip of round-trip-commands.txt; its result is kept
// beside the test for compare-with-linux.
TEST(RoundTripAsOnLinux, AnswersEveryCommandAndKeepsTheResultForTheComparison) {
    std::remove("round-trip-windows.txt"); // never compare a result of an earlier run
    std::ifstream listed("round-trip-commands.txt");
    std::vector<std::string> commands;
    for (std::string line; std::getline(listed, line);)
        commands.push_back(line);
    ASSERT_FALSE(commands.empty());
    Simulator simulator;
    const std::string result = Installation(simulator.port()).runOnce(commands);
    EXPECT_EQ(blockCount(result), static_cast<int>(commands.size()));
    writeFile("round-trip-windows.txt", result);
}

TEST(ResidentOnWindows, ASecondStartEndsSilentlyAndHiddenOrHeldCommandFilesWaitTheirTurn) {
    Simulator simulator;
    Installation installation(simulator.port());
    const std::string command = installation.commandFile();
    auto bridge = installation.startResident();
    // The amount echoed once the command file is gone, the ECR's signal that the result is whole.
    auto answered = [&] {
        EXPECT_TRUE(waitUntil([&] { return !fileExists(command); }, 20s)) << bridge->errors();
        return valueAfter(readFile(installation.resultFile()), "POSDATA.AmountEcho = ");
    };
    installation.writeCommands({"POS_STATUS"});
    answered();
    const int statusRequests = simulator.exchanges("Status");

    // One instance per program folder: a second start ends at once, silently and successfully.
    ChildProcess second(installation.program(), {"-I"}, installation.environment);
    EXPECT_EQ(second.wait(20s), 0);
    EXPECT_EQ(second.output() + second.errors(), "");
    EXPECT_EQ(simulator.exchanges("Status"), statusRequests) << "the second start asked nothing";

    // A hidden file counts as absent: untouched for several ticks (one every 1.3 s at most).
    const std::string payment = "POS_PAGAME,T1,E1,A000000350,P00\r\n";
    HANDLE file = ::CreateFileA(command.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN, nullptr);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file, payment.data(), payment.size(), &written, nullptr));
    ::CloseHandle(file);
    std::this_thread::sleep_for(4s);
    EXPECT_TRUE(fileExists(command));
    EXPECT_EQ(simulator.exchanges("Payment"), 0);
    ASSERT_TRUE(::SetFileAttributesA(command.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(answered(), "000000350");

    // Held unshared for three seconds by another process: reading fails with 70 and is
    // retried; once the file is released the command runs, once.
    char path[MAX_PATH] = {};
    const std::string test(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
    const auto started = std::chrono::steady_clock::now();
    ChildProcess holder(test.substr(0, test.find_last_of('\\')) + "\\holdfile.exe",
                        {command, "POS_PAGAME,T1,E1,A000000250,P00\r\n", "3000"});
    ASSERT_TRUE(holder.waitForLine("held", 10s)) << holder.errors();
    ASSERT_EQ(holder.wait(20s), 0) << holder.errors();
    EXPECT_EQ(simulator.exchanges("Payment"), 1) << "nothing can be read while the file is held";
    EXPECT_GE(std::chrono::steady_clock::now() - started, 3s);
    EXPECT_EQ(answered(), "000000250");
    EXPECT_EQ(simulator.exchanges("Payment"), 2);
    bridge->signal(SIGTERM);
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
}

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

TEST_F(ConfigurationPaths, EveryShapeIsTakenOrRefusedWithTheProgramsMessage) {
    std::string ecr = installation.file("ecr");
    std::replace(ecr.begin(), ecr.end(), '\\', '/');
    const std::string tooLong = ecr + "\\" + std::string(300, 'x') + ".TXT";
    char letter = 'Y';
    while (::GetLogicalDrives() & (1u << (letter - 'A')))
        --letter;
    const std::string drive = std::string(1, letter) + ":", unc = "\\\\kvl-no-such-host\\ecr\\";
    // Said twice: the resident start-up and the one-shot run each read the configuration.
    const std::string noFolders = "KvlTalvioPos: Directory del file di Input non presente !\r\n"
                                  "KvlTalvioPos: Directory del file di Output non presente !\r\n";
    // The command and result files, what the one-shot run says, whether it answers.
    const std::tuple<std::string, std::string, std::string, bool> cases[] = {
        {ecr + "/SR_DATI.TXT", ecr + "/SR_OUT.TXT", "", true},
        {unc + "SR_DATI.TXT", unc + "SR_OUT.TXT", "", false},
        {drive + "\\ECR\\SR_DATI.TXT", drive + "\\ECR\\SR_OUT.TXT", noFolders + noFolders, false},
        {tooLong, tooLong, "", false}};
    for (const auto& [inpf, outf, message, answered] : cases) {
        SCOPED_TRACE(inpf.substr(0, 60));
        configure(inpf, outf);
        const std::string command = "POS_PAGAME,T1,E1,A000000150,P00\r\n";
        writeFile(installation.commandFile(), command); // where a misread path might lead
        ChildProcess run(installation.program(), {"-E"}, installation.environment);
        ASSERT_EQ(run.wait(60s), 0) << run.errors();
        EXPECT_EQ(run.errors(), message);
        EXPECT_EQ(fileExists(installation.commandFile()), !answered);
        EXPECT_EQ(fileExists(installation.resultFile()), answered);
        std::remove(installation.resultFile().c_str());
    }
    EXPECT_EQ(simulator.exchanges("Payment"), 1);

    // A configuration file that cannot be there ends the start-up.
    for (const std::string& path : {installation.file(std::string(300, 'c') + ".TXT"),
                                    drive + "\\KVL\\ConfigTlvPos.TXT", unc + "ConfigTlvPos.TXT"}) {
        writeFile(installation.parameterFile(), "0\r\n" + path + "\r\n\r\n");
        ChildProcess run(installation.program(), {}, installation.environment);
        ASSERT_EQ(run.wait(60s), 1);
        EXPECT_NE(run.errors().find("KvlTalvioPos: ERRORE: File di configurazione non trovato"),
                  std::string::npos)
            << run.errors();
    }
}

// A result file of 300 characters cannot be written: the payment runs once,
// the program says so once and keeps the command file, retrying the write on
// every tick without charging again.
TEST_F(ConfigurationPaths, AResultFileThatCannotBeWrittenKeepsTheCommandAndChargesOnce) {
    configure(installation.commandFile(), installation.file("ecr\\" + std::string(300, 'r')));
    auto bridge = installation.startResident();
    installation.writeCommands({"POS_PAGAME,T1,E1,A000000250,P00"});
    ASSERT_TRUE(waitUntil(
        [&] { return bridge->errors().find("Impossibile scrivere") != std::string::npos; }, 30s))
        << bridge->errors();
    std::this_thread::sleep_for(4s); // several ticks, each retrying the write
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
    EXPECT_TRUE(fileExists(installation.commandFile()));
    const std::string text = bridge->errors();
    EXPECT_EQ(text.find("Impossibile scrivere"), text.rfind("Impossibile scrivere")) << text;
    EXPECT_TRUE(bridge->running());
    bridge->signal(SIGTERM);
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
}

} // namespace
} // namespace kvl::test
