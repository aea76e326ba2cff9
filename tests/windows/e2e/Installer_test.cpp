// Setup-KvlTalvioPos.exe installed silently under wine into its default
// folder, the one-shot round trip run from there against terminal-sim.exe, a
// reinstall that keeps the operator's files, and the silent uninstall; and
// the portable zip run where it is unpacked.

#include "support/Installation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <windows.h>

#include <shlobj.h>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;

std::string specialFolder(int folder) {
    char path[MAX_PATH] = {};
    EXPECT_TRUE(::SHGetSpecialFolderPathA(nullptr, path, folder, FALSE)) << folder;
    return path;
}

// Runs a program to its end; its exit status, and its output in `output`.
int runToEnd(const std::string& program, const std::vector<std::string>& arguments,
             std::string* output = nullptr) {
    ChildProcess child(program, arguments, {{"KVL_HEADLESS", "1"}});
    const auto status = child.wait(120s);
    EXPECT_TRUE(status) << program << " did not end";
    if (output)
        *output = child.output();
    return status.value_or(-1);
}

// The program's entry in the system's list of programs, as reg.exe lists it.
std::string listedEntry() {
    std::string listed;
    runToEnd(
        specialFolder(CSIDL_SYSTEM) + "\\reg.exe",
        {"query", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KvlTalvioPos"},
        &listed);
    return listed;
}

// Points the folder's sample configuration at a terminal-sim.exe, its other
// lines as installed (INPF and OUTF name the folder's SR_DATI.TXT and
// SR_OUT.TXT), and runs a payment's one-shot round trip there.
std::string roundTripIn(const std::string& folder) {
    Simulator simulator;
    const std::string configuration =
        std::regex_replace(std::regex_replace(readFile(folder + "\\ConfigTlvPos.TXT"),
                                              std::regex("IPAD:[^\r]*"), "IPAD: 127.0.0.1"),
                           std::regex("PORT:[^\r]*"), "PORT: " + std::to_string(simulator.port()));
    writeFile(folder + "\\ConfigTlvPos.TXT", configuration);
    writeFile(folder + "\\SR_DATI.TXT", "POS_PAGAME,T00000001,E00000001,A000001250,P01\r\n");
    EXPECT_EQ(readFile(folder + "\\ParamTlvPos.TXT"), "0\r\n\r\n\r\n")
        << "empty paths: the program folder's configuration and log";
    EXPECT_EQ(runToEnd(folder + "\\KvlTalvioPos.exe", {"-E"}), 0);
    EXPECT_FALSE(fileExists(folder + "\\SR_DATI.TXT"));
    const std::string result = readFile(folder + "\\SR_OUT.TXT");
    EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = "), "OK");
    EXPECT_EQ(valueAfter(result, "POSDATA.AmountEcho = "), "000001250");
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
    return configuration;
}

TEST(Installer, InstallsIntoProgramFilesRunsTheRoundTripThereAndUninstallsKeepingSettings) {
    char test[MAX_PATH] = {};
    const std::string setup =
        std::filesystem::path(std::string(test, ::GetModuleFileNameA(nullptr, test, MAX_PATH)))
            .replace_filename("Setup-KvlTalvioPos.exe")
            .string();
    const std::string folder = specialFolder(CSIDL_PROGRAM_FILES) + "\\KVL TalvioPos";
    const std::string menu = specialFolder(CSIDL_COMMON_PROGRAMS) + "\\KVL TalvioPos";
    const std::string data = specialFolder(CSIDL_COMMON_APPDATA) + "\\KvlTalvioPos";
    std::filesystem::remove_all(folder); // what an earlier run's uninstall kept

    ASSERT_EQ(runToEnd(setup, {"/S"}), 0);
    for (const char* name : {"KvlTalvioPos.exe", "Iae17.dll", "Manuale_TalvioPosIngenico.pdf",
                             "ConfigTlvPos.TXT", "ParamTlvPos.TXT", "Uninstall.exe"})
        EXPECT_TRUE(fileExists(folder + "\\" + name)) << name;
    for (const char* name : {"KVL TalvioPos.lnk", "Console KVL TalvioPos.lnk",
                             "Manuale KVL TalvioPos.lnk", "Disinstalla KVL TalvioPos.lnk"})
        EXPECT_TRUE(fileExists(menu + "\\" + name)) << name;
    EXPECT_TRUE(fileExists(data + "\\Manuale_TalvioPosIngenico.pdf"));
    EXPECT_TRUE(
        std::regex_search(listedEntry(), std::regex("DisplayVersion\\s+REG_SZ\\s+1\\.0\\.0\\.7")));

    const std::string configuration = roundTripIn(folder);
    ASSERT_EQ(runToEnd(setup, {"/S"}), 0);
    EXPECT_EQ(readFile(folder + "\\ConfigTlvPos.TXT"), configuration) << "kept on a reinstall";

    // The uninstaller runs a copy of itself from the temporary folder and
    // ends at once: the uninstall is over when its own file is gone.
    ASSERT_EQ(runToEnd(folder + "\\Uninstall.exe", {"/S"}), 0);
    EXPECT_TRUE(waitUntil([&] { return !fileExists(folder + "\\Uninstall.exe"); }, 60s));
    for (const char* name : {"KvlTalvioPos.exe", "Iae17.dll", "Manuale_TalvioPosIngenico.pdf"})
        EXPECT_FALSE(fileExists(folder + "\\" + name)) << name;
    EXPECT_EQ(readFile(folder + "\\ConfigTlvPos.TXT"), configuration);
    EXPECT_TRUE(fileExists(folder + "\\ParamTlvPos.TXT"));
    EXPECT_FALSE(fileExists(menu));
    EXPECT_FALSE(fileExists(data + "\\Manuale_TalvioPosIngenico.pdf"));
    EXPECT_EQ(listedEntry().find("DisplayVersion"), std::string::npos);
    std::filesystem::remove_all(folder);
}

// The portable zip, unpacked beside the test (the portable_zip fixture), with
// the data folder that an operator makes.
TEST(PortableZip, RunsTheRoundTripFromTheUnpackedFolder) {
    ::CreateDirectoryA((specialFolder(CSIDL_COMMON_APPDATA) + "\\KvlTalvioPos").c_str(), nullptr);
    roundTripIn(std::filesystem::absolute("portable\\KVL TalvioPos").string());
}

} // namespace
} // namespace kvl::test
