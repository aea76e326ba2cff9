#pragma once

#include "support/TempFolder.h"

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
    // With closedErrorPipe, standard error is a pipe whose reader is already
    // gone, as when a service manager's log pipe went away.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment = {},
                 const std::string& workingFolder = {}, bool closedErrorPipe = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits for the exit status (or 128 + signal); nullopt after the time-out.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    bool running();
    void signal(int signalNumber);

    std::string output() const { return captured("out"); }
    std::string errors() const { return captured("err"); }
    // Waits until standard output has a line starting with the prefix and returns that line.
    std::optional<std::string> waitForLine(const std::string& prefix,
                                           std::chrono::milliseconds timeout);

private:
    std::string captured(const char* name) const;
    int pid_ = -1;
    std::optional<int> status_;
    TempFolder captures_; // standard output and error
};

} // namespace kvl::test
