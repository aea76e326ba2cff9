#include "support/ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kvl::test {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment,
                           const std::string& workingFolder, bool closedErrorPipe) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const std::string outputPath = captures_.file("out"), errorPath = captures_.file("err");
    int errorPipe[2] = {-1, -1};
    if (closedErrorPipe && pipe(errorPipe) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (closedErrorPipe) {
        close(errorPipe[0]);
        if (pid_ > 0)
            close(errorPipe[1]);
    }
    if (pid_ == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = closedErrorPipe
                            ? errorPipe[1]
                            : open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0)
            _exit(126);
        std::vector<char*> raw;
        for (auto& argument : argv)
            raw.push_back(argument.data());
        raw.push_back(nullptr);
        execv(program.c_str(), raw.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (running()) {
        signal(SIGKILL);
        wait(std::chrono::milliseconds(2000));
    }
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int raw = 0;
        const pid_t done = waitpid(pid_, &raw, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            break;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
}

bool ChildProcess::running() {
    return !wait(std::chrono::milliseconds(0)).has_value();
}

void ChildProcess::signal(int signalNumber) {
    if (!status_)
        kill(pid_, signalNumber);
}

std::string ChildProcess::captured(const char* name) const {
    return fileExists(captures_.file(name)) ? readFile(captures_.file(name)) : std::string();
}

std::optional<std::string> ChildProcess::waitForLine(const std::string& prefix,
                                                     std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::istringstream lines(output());
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(prefix, 0) == 0)
                return line;
        }
        if (!running() || std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace kvl::test
