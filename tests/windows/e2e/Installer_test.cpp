// Setup-KvlTalvioPos.exe installed silently under wine into its default
// folder, the one-shot round trip run from there against terminal-sim.exe
// with the installed sample configuration pointed at it, a reinstall that
// keeps the operator's files, and the silent uninstall.

#include "support/Installation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <windows.h>

#include <shlobj.h>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;

const char* const UninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KvlTalvioPos";

std::string binaryFolder() {
    char path[MAX_PATH] = {};
    const std::string module(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
    return module.substr(0, module.find_last_of("\\/"));
}

std::string specialFolder(int folder) {
    char path[MAX_PATH] = {};
    EXPECT_TRUE(::SHGetSpecialFolderPathA(nullptr, path, folder, FALSE)) << folder;
    return path;
}

// The installed version as the system's list of programs has it, or empty.
std::string registeredVersion() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    char value[64] = {};
    DWORD size = sizeof value;
    const LONG read = ::RegQueryValueExA(key, "DisplayVersion", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    return read == ERROR_SUCCESS ? value : "";
}

// Runs a program of the installation to its end; its exit status.
int runToEnd(const std::string& program, const std::vector<std::string>& arguments,
             const std::map<std::string, std::string>& environment = {}) {
    ChildProcess child(program, arguments, environment);
    const auto status = child.wait(120s);
    EXPECT_TRUE(status) << program << " did not end";
    return status.value_or(-1);
}

// The sample configuration with the terminal at 127.0.0.1:port; its other
// lines, the command and result files among them, stay as installed.
std::string pointedAt(const std::string& sample, int port) {
    std::string configuration;
    std::size_t start = 0;
    while (start < sample.size()) {
        const std::size_t end = sample.find("\r\n", start);
        std::string line = sample.substr(start, end - start);
        if (line.rfind("IPAD:", 0) == 0)
            line = "IPAD: 127.0.0.1";
        else if (line.rfind("PORT:", 0) == 0)
            line = "PORT: " + std::to_string(port);
        configuration += line + "\r\n";
        start = end == std::string::npos ? sample.size() : end + 2;
    }
    return configuration;
}

// Points the folder's sample configuration at a terminal-sim.exe and runs a
// payment's one-shot round trip there: the sample's INPF and OUTF name the
// program folder's SR_DATI.TXT and SR_OUT.TXT. Returns the configuration.
std::string roundTripIn(const std::string& folder) {
    Simulator simulator;
    const std::string configuration =
        pointedAt(readFile(folder + "\\ConfigTlvPos.TXT"), simulator.port());
    writeFile(folder + "\\ConfigTlvPos.TXT", configuration);
    writeFile(folder + "\\SR_DATI.TXT", "POS_PAGAME,T00000001,E00000001,A000001250,P01\r\n");
    EXPECT_EQ(runToEnd(folder + "\\KvlTalvioPos.exe", {"-E"}, {{"KVL_HEADLESS", "1"}}), 0);
    EXPECT_FALSE(fileExists(folder + "\\SR_DATI.TXT"));
    const std::string result =
        fileExists(folder + "\\SR_OUT.TXT") ? readFile(folder + "\\SR_OUT.TXT") : "";
    EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = "), "OK");
    EXPECT_EQ(valueAfter(result, "POSDATA.AmountEcho = "), "000001250");
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
    return configuration;
}

TEST(Installer, InstallsIntoProgramFilesRunsTheRoundTripThereAndUninstallsKeepingSettings) {
    const std::string setup = binaryFolder() + "\\Setup-KvlTalvioPos.exe";
    const std::string folder = specialFolder(CSIDL_PROGRAM_FILES) + "\\KVL TalvioPos";
    const std::string menu = specialFolder(CSIDL_COMMON_PROGRAMS) + "\\KVL TalvioPos";
    const std::string data = specialFolder(CSIDL_COMMON_APPDATA) + "\\KvlTalvioPos";
    std::filesystem::remove_all(folder); // what an earlier run's uninstall kept

    ASSERT_EQ(runToEnd(setup, {"/S"}), 0);
    for (const char* name : {"KvlTalvioPos.exe", "Iae17.dll", "Manuale_TalvioPosIngenico.pdf",
                             "ConfigTlvPos.TXT", "ParamTlvPos.TXT", "Uninstall.exe"})
        EXPECT_TRUE(fileExists(folder + "\\" + name)) << name;
    EXPECT_EQ(readFile(folder + "\\ParamTlvPos.TXT"), "0\r\n\r\n\r\n")
        << "empty paths: the program folder's configuration and log";
    for (const char* name : {"KVL TalvioPos.lnk", "Console KVL TalvioPos.lnk",
                             "Manuale KVL TalvioPos.lnk", "Disinstalla KVL TalvioPos.lnk"})
        EXPECT_TRUE(fileExists(menu + "\\" + name)) << name;
    EXPECT_TRUE(fileExists(data + "\\Manuale_TalvioPosIngenico.pdf"));
    EXPECT_EQ(registeredVersion(), "1.0.0.7");

    const std::string configuration = roundTripIn(folder);

    // A reinstall keeps the operator's configuration.
    ASSERT_EQ(runToEnd(setup, {"/S"}), 0);
    EXPECT_EQ(readFile(folder + "\\ConfigTlvPos.TXT"), configuration);

    // The uninstaller runs a copy of itself from the temporary folder and
    // ends at once: the uninstall is over when its own file is gone.
    ASSERT_EQ(runToEnd(folder + "\\Uninstall.exe", {"/S"}), 0);
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (fileExists(folder + "\\Uninstall.exe") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    for (const char* name :
         {"KvlTalvioPos.exe", "Iae17.dll", "Manuale_TalvioPosIngenico.pdf", "Uninstall.exe"})
        EXPECT_FALSE(fileExists(folder + "\\" + name)) << name;
    EXPECT_EQ(readFile(folder + "\\ConfigTlvPos.TXT"), configuration);
    EXPECT_TRUE(fileExists(folder + "\\ParamTlvPos.TXT"));
    EXPECT_FALSE(fileExists(menu));
    EXPECT_FALSE(fileExists(data + "\\Manuale_TalvioPosIngenico.pdf"));
    EXPECT_EQ(registeredVersion(), "");
    std::filesystem::remove_all(folder);
}

// The portable zip, unpacked beside the test (the portable_zip fixture), runs
// as it is: its parameter file's empty paths name the folder's own
// configuration.
TEST(PortableZip, RunsTheRoundTripFromTheUnpackedFolder) {
    const std::string folder = std::filesystem::absolute("portable\\KVL TalvioPos").string();
    ASSERT_TRUE(fileExists(folder + "\\KvlTalvioPos.exe")) << folder;
    EXPECT_EQ(readFile(folder + "\\ParamTlvPos.TXT"), "0\r\n\r\n\r\n");
    roundTripIn(folder);
}

} // namespace
} // namespace kvl::test
