#pragma once

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kvl::test {

// A terminal-sim process listening on 127.0.0.1 on a port the bridge accepts
// (1-9999).
class Simulator {
public:
    explicit Simulator(const std::vector<std::string>& options = {});
    int port() const { return port_; }
    std::string log() const { return process_->output(); }
    // The number of exchange lines naming the operation (e.g. "Payment").
    int exchanges(const std::string& operation) const;
    void stop();

private:
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
};

// How a program run to its end went: the exit status, nullopt on time-out.
struct RunResult {
    std::optional<int> status;
    std::string output;
    std::string errors;
};

// A program folder laid out like an installation in a temporary folder: the
// real KvlTalvioPos and libiae17.so copied in, a parameter file, a
// communication configuration and the ECR's folder "ecr".
class Installation {
public:
    Installation();

    std::string folder() const { return folder_.path(); }
    std::string commandFile() const { return folder_.file("ecr/SR_DATI.TXT"); }
    std::string resultFile() const { return folder_.file("ecr/SR_OUT.TXT"); }
    std::string logFile() const { return folder_.file("LogTlvPos.TXT"); }
    std::string parameterFile() const { return folder_.file("ParamTlvPos.TXT"); }
    std::string program() const { return folder_.file("KvlTalvioPos"); }

    // Writes ConfigTlvPos.TXT for an Ethernet terminal at 127.0.0.1:port, plus
    // any extra CR LF lines.
    void configureEthernet(int port, const std::vector<std::string>& extraLines = {});
    void writeParameters(bool log);
    void writeCommands(const std::vector<std::string>& lines);

    // Environment for the bridge: headless, short library time-outs.
    std::map<std::string, std::string> environment() const;
    std::map<std::string, std::string>& extraEnvironment() { return extra_; }

    RunResult runOnce(const std::vector<std::string>& arguments = {"-E"},
                      std::chrono::milliseconds timeout = std::chrono::seconds(60));
    std::unique_ptr<ChildProcess> startResident(const std::vector<std::string>& arguments = {});

    std::string result() const;

private:
    TempFolder folder_;
    std::map<std::string, std::string> extra_;
};

// The lines of a CR LF text, without their line ends; fails the test on a bare LF.
std::vector<std::string> crlfLines(const std::string& text);

// The value of the first line starting with the label, from a result text.
std::string valueAfter(const std::string& resultText, const std::string& label, int block = 0);

// The number of result blocks ("TIPO_COMANDO  = " lines) in a result text.
int blockCount(const std::string& resultText);

} // namespace kvl::test
