// What a child process wrote, on every system.

#include "support/ChildProcess.h"

#include <sstream>
#include <thread>

namespace kvl::test {

std::string ChildProcess::captured(const char* name) const {
    return fileExists(captures_.file(name)) ? readFile(captures_.file(name)) : std::string();
}

std::optional<std::string> ChildProcess::waitForLine(const std::string& prefix,
                                                     std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::istringstream lines(output());
        for (std::string line; std::getline(lines, line);) {
            // A Windows program's standard output ends its lines with CR LF.
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.rfind(prefix, 0) == 0)
                return line;
        }
        if (!running() || std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace kvl::test
