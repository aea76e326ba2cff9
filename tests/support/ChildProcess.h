#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kvl::test {

// A child process started from a real binary, with its standard output and
// error captured to files so that a test can read them at any time.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment = {},
                 const std::string& workingFolder = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    int pid() const { return pid_; }
    // Waits for the exit status (or 128 + signal); nullopt after the time-out.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    bool running();
    void signal(int signalNumber);

    std::string output() const;
    std::string errors() const;
    // Waits until standard output has a line starting with the prefix and returns that line.
    std::optional<std::string> waitForLine(const std::string& prefix,
                                           std::chrono::milliseconds timeout);

private:
    int pid_ = -1;
    std::optional<int> status_;
    std::string outputPath_;
    std::string errorPath_;
};

// Runs a program to its end and returns its exit status (nullopt on time-out,
// after killing it).
struct RunResult {
    std::optional<int> status;
    std::string output;
    std::string errors;
};
RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::map<std::string, std::string>& environment,
                     std::chrono::milliseconds timeout);

} // namespace kvl::test
