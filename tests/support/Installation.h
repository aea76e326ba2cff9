#pragma once

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kvl::test {

// A terminal-sim process listening on 127.0.0.1 on a port the bridge accepts
// (it picks one from 1024 to 9999), or serving a pseudo-terminal, with the
// per-call faults of the scenario text and any further options.
class Simulator {
public:
    enum class Line { Tcp, Pty };
    explicit Simulator(const std::string& scenario = {}, Line line = Line::Tcp,
                       const std::vector<std::string>& options = {});
    int port() const { return port_; }
    // The pseudo-terminal's device, for Line::Pty.
    const std::string& device() const { return device_; }
    // The number of exchange lines naming the operation (e.g. "Payment").
    int exchanges(const std::string& operation) const;
    // The amounts of those exchanges, in order.
    std::vector<std::string> amounts(const std::string& operation) const;
    // Ends the simulator: every exchange is logged by then, and every outcome
    // the library never acknowledged ("result=unverified").
    void stop();
    // The number of exchange lines holding every one of the texts.
    int logged(const std::vector<std::string>& texts) const;
    std::string log() const { return process_->output(); }

private:
    TempFolder folder_; // the scenario file
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
    std::string device_;
};

// A program folder laid out like an installation in a temporary folder: the
// real KvlTalvioPos and libiae17.so (KvlTalvioPos.exe and Iae17.dll) copied in, a parameter file,
// an Ethernet configuration for 127.0.0.1:port and the ECR's folder "ecr".
class Installation {
public:
    explicit Installation(int port, bool log = false);

    std::string file(const std::string& name) const { return folder_.file(name); }
    // The program's executable in the folder.
    std::string program() const;
    std::string commandFile() const { return file("ecr/SR_DATI.TXT"); }
    std::string resultFile() const { return file("ecr/SR_OUT.TXT"); }
    std::string logFile() const { return file("LogTlvPos.TXT"); }
    std::string parameterFile() const { return file("ParamTlvPos.TXT"); }
    // The parameter file's text with the log switch given.
    std::string parameters(const std::string& logSwitch) const;

    void writeCommands(const std::vector<std::string>& lines);
    // Rewrites the Ethernet configuration with another result file.
    void writeConfiguration(const std::string& resultFile);
    // Reaches the terminal over a serial line (COM1, 9600 8N1) on the device.
    void useSerialLine(const std::string& device);
    // Runs "-E" on the command lines (no command file when there are none); the run
    // must end with status 0 and no command file. Returns the result file's text.
    std::string runOnce(const std::vector<std::string>& commands);
    std::unique_ptr<ChildProcess> startResident();

    // Environment for the bridge: headless, short library time-outs.
    std::map<std::string, std::string> environment{{"KVL_HEADLESS", "1"},
                                                   {"IAE17_CONNECT_TIMEOUT_MS", "1000"},
                                                   {"IAE17_ACK_TIMEOUT_MS", "1000"},
                                                   {"IAE17_ANSWER_TIMEOUT_MS", "3000"},
                                                   {"IAE17_STATUS_TIMEOUT_MS", "1000"},
                                                   {"IAE17_RECOVERY_MS", "1000"}};

private:
    TempFolder folder_;
    int port_;
};

// Waits until the condition holds or the time is up; whether it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// The lines of a CR LF text, without their line ends; fails the test on a bare LF.
std::vector<std::string> crlfLines(const std::string& text);

// The value of the block's line starting with the label, from a result text.
std::string valueAfter(const std::string& resultText, const std::string& label, int block = 0);

// The number of result blocks ("TIPO_COMANDO  = " lines) in a result text.
int blockCount(const std::string& resultText);

} // namespace kvl::test
