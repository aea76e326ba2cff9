#include "support/Installation.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <stdexcept>

namespace kvl::test {

namespace {

const std::string binDir = KVL_BIN_DIR;

std::string crlfJoin(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace

Simulator::Simulator(const std::vector<std::string>& options) {
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> ports(5000, 9899);
    for (int attempt = 0; attempt < 40; ++attempt) {
        const int port = ports(random);
        std::vector<std::string> arguments{"--tcp", "127.0.0.1:" + std::to_string(port)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        auto process = std::make_unique<ChildProcess>(binDir + "/terminal-sim", arguments);
        if (process->waitForLine("listening", std::chrono::seconds(5))) {
            process_ = std::move(process);
            port_ = port;
            return;
        }
    }
    throw std::runtime_error("terminal-sim did not start on any port tried");
}

int Simulator::exchanges(const std::string& operation) const {
    std::istringstream lines(log());
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" " + operation + " ") != std::string::npos)
            ++count;
    }
    return count;
}

void Simulator::stop() {
    if (process_) {
        process_->signal(SIGTERM);
        process_->wait(std::chrono::seconds(5));
    }
}

Installation::Installation() {
    namespace fs = std::filesystem;
    fs::copy_file(binDir + "/KvlTalvioPos", folder_.file("KvlTalvioPos"));
    fs::copy_file(binDir + "/libiae17.so", folder_.file("libiae17.so"));
    fs::create_directory(folder_.file("ecr"));
    writeParameters(false);
}

void Installation::configureEthernet(int port, const std::vector<std::string>& extraLines) {
    std::vector<std::string> lines{
        "TIPO: ETH", "IPAD: 127.0.0.1",        "PORT: " + std::to_string(port),
        "ECRI: N",   "INPF: " + commandFile(), "OUTF: " + resultFile()};
    lines.insert(lines.end(), extraLines.begin(), extraLines.end());
    writeFile(folder_.file("ConfigTlvPos.TXT"), crlfJoin(lines));
}

void Installation::writeParameters(bool log) {
    writeFile(parameterFile(),
              crlfJoin({log ? "1" : "0", folder_.file("ConfigTlvPos.TXT"), logFile()}));
}

void Installation::writeCommands(const std::vector<std::string>& lines) {
    writeFile(commandFile(), crlfJoin(lines));
}

std::map<std::string, std::string> Installation::environment() const {
    std::map<std::string, std::string> environment{
        {"KVL_HEADLESS", "1"},
        {"IAE17_CONNECT_TIMEOUT_MS", "1000"},
        {"IAE17_ACK_TIMEOUT_MS", "1000"},
        {"IAE17_ANSWER_TIMEOUT_MS", "3000"},
    };
    for (const auto& [name, value] : extra_)
        environment[name] = value;
    return environment;
}

RunResult Installation::runOnce(const std::vector<std::string>& arguments,
                                std::chrono::milliseconds timeout) {
    ChildProcess child(program(), arguments, environment());
    RunResult result;
    result.status = child.wait(timeout);
    result.output = child.output();
    result.errors = child.errors();
    return result;
}

std::unique_ptr<ChildProcess>
Installation::startResident(const std::vector<std::string>& arguments) {
    return std::make_unique<ChildProcess>(program(), arguments, environment(), folder());
}

std::string Installation::result() const {
    return fileExists(resultFile()) ? readFile(resultFile()) : std::string();
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
