#include "support/Installation.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kvl::test {

namespace {

// The binaries, as the system the tests run on names them, in the build's
// bin folder (on Windows the tests' own folder).
#ifdef _WIN32
const std::string ProgramFile = "KvlTalvioPos.exe";
const std::string LibraryFile = "Iae17.dll";
const std::string SimulatorFile = "terminal-sim.exe";

std::string binaryFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string module(path, length);
    return module.substr(0, module.find_last_of("\\/"));
}
#else
const std::string ProgramFile = "KvlTalvioPos";
const std::string LibraryFile = "libiae17.so";
const std::string SimulatorFile = "terminal-sim";

std::string binaryFolder() {
    return KVL_BIN_DIR;
}
#endif

const std::string binDir = binaryFolder();

std::string crlfJoin(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace

Simulator::Simulator(const std::string& scenario, Line line,
                     const std::vector<std::string>& options) {
    std::vector<std::string> arguments{"--tcp", "127.0.0.1:0"};
    if (line == Line::Pty)
        arguments = {"--pty"};
    if (!scenario.empty()) {
        writeFile(folder_.file("scenario"), scenario);
        arguments.insert(arguments.end(), {"--scenario", folder_.file("scenario")});
    }
    arguments.insert(arguments.end(), options.begin(), options.end());
    process_ = std::make_unique<ChildProcess>(binDir + "/" + SimulatorFile, arguments);
    // "pty DEVICE" or "listening tcp 127.0.0.1:PORT"
    const auto ready = process_->waitForLine("", std::chrono::seconds(5));
    if (!ready)
        throw std::runtime_error("terminal-sim did not start: " + process_->errors());
    if (line == Line::Pty)
        device_ = ready->substr(4);
    else
        port_ = std::stoi(ready->substr(ready->rfind(':') + 1));
}

int Simulator::exchanges(const std::string& operation) const {
    return static_cast<int>(amounts(operation).size());
}

std::vector<std::string> Simulator::amounts(const std::string& operation) const {
    std::istringstream lines(process_->output());
    std::vector<std::string> found;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" " + operation + " ") == std::string::npos)
            continue;
        const std::size_t at = line.find(" amount=");
        found.push_back(
            at == std::string::npos ? "" : line.substr(at + 8, line.find(' ', at + 8) - at - 8));
    }
    return found;
}

void Simulator::stop() {
#ifdef _WIN32
    // Nothing asks a Windows console program to end from outside: it is ended.
    process_->signal(9);
    EXPECT_TRUE(process_->wait(std::chrono::seconds(10)));
#else
    process_->signal(SIGTERM);
    EXPECT_EQ(process_->wait(std::chrono::seconds(10)), 0) << process_->errors();
#endif
}

int Simulator::logged(const std::vector<std::string>& texts) const {
    std::istringstream lines(process_->output());
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        bool all = true;
        for (const auto& text : texts)
            all = all && line.find(text) != std::string::npos;
        count += all ? 1 : 0;
    }
    return count;
}

Installation::Installation(int port, bool log) : port_(port) {
    std::filesystem::copy_file(binDir + "/" + ProgramFile, program());
    std::filesystem::copy_file(binDir + "/" + LibraryFile, file(LibraryFile));
    std::filesystem::create_directory(file("ecr"));
    writeFile(parameterFile(), parameters(log ? "1" : "0"));
    writeConfiguration(resultFile());
}

void Installation::writeConfiguration(const std::string& resultFile) {
    writeFile(file("ConfigTlvPos.TXT"),
              crlfJoin({"TIPO: ETH", "IPAD: 127.0.0.1", "PORT: " + std::to_string(port_), "ECRI: N",
                        "INPF: " + commandFile(), "OUTF: " + resultFile}));
}

std::string Installation::program() const {
    return file(ProgramFile);
}

std::string Installation::parameters(const std::string& logSwitch) const {
    return crlfJoin({logSwitch, file("ConfigTlvPos.TXT"), logFile()});
}

void Installation::useSerialLine(const std::string& device) {
    writeFile(file("ConfigTlvPos.TXT"),
              crlfJoin({"TIPO: RS232", "PCOM: 1", "BAUD: 9600", "BITS: 8", "PARI: N", "STOP: 1",
                        "ECRI: N", "INPF: " + commandFile(), "OUTF: " + resultFile()}));
    environment["IAE17_COM1"] = device;
}

void Installation::writeCommands(const std::vector<std::string>& lines) {
    writeFile(commandFile(), crlfJoin(lines));
}

std::string Installation::runOnce(const std::vector<std::string>& commands) {
    if (!commands.empty())
        writeCommands(commands);
    ChildProcess child(program(), {"-E"}, environment);
    EXPECT_EQ(child.wait(std::chrono::seconds(60)), 0) << child.errors();
    EXPECT_FALSE(fileExists(commandFile())) << "the command file must be deleted";
    return fileExists(resultFile()) ? readFile(resultFile()) : std::string();
}

std::unique_ptr<ChildProcess> Installation::startResident() {
    return std::make_unique<ChildProcess>(program(), std::vector<std::string>{}, environment,
                                          folder_.path());
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF: ..." << text.substr(start);
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string valueAfter(const std::string& resultText, const std::string& label, int block) {
    int seen = 0;
    for (const auto& line : crlfLines(resultText)) {
        if (line.rfind(label, 0) == 0 && seen++ == block)
            return line.substr(label.size());
    }
    return "<no line " + label + ">";
}

int blockCount(const std::string& resultText) {
    int count = 0;
    for (const auto& line : crlfLines(resultText))
        count += line.rfind("TIPO_COMANDO  = ", 0) == 0 ? 1 : 0;
    return count;
}

} // namespace kvl::test
