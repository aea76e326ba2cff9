// Starts the program once and measures, from the moment it is started:
//   - the time to its first look for the command file (the first opening of
//     the command file's folder, seen through inotify), and
//   - its resident memory once it has settled (VmRSS and VmHWM).
// Then asks it to end with SIGTERM.
//
//   startup_bench FOLDER SETTLE_MS PROGRAM [ARGUMENTS...]
//
// Prints one line: "first_look_ms=<n> rss_kb=<n> hwm_kb=<n>".

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long statusField(pid_t pid, const std::string& name) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(name + ":", 0) == 0)
            return std::strtol(line.c_str() + name.size() + 1, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench FOLDER SETTLE_MS PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0 || inotify_add_watch(watch, argv[1], IN_OPEN) < 0) {
        std::perror("inotify");
        return 1;
    }
    const auto started = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[3], argv + 3);
        _exit(127);
    }

    long firstLook = -1;
    pollfd events{watch, POLLIN, 0};
    const auto deadline = started + std::chrono::seconds(30);
    while (firstLook < 0 && Clock::now() < deadline) {
        if (poll(&events, 1, 100) > 0) {
            firstLook = static_cast<long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started)
                    .count());
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(argv[2])));
    const long rss = statusField(child, "VmRSS");
    const long hwm = statusField(child, "VmHWM");

    kill(child, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(child, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(child, &status, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    std::printf("first_look_ms=%ld rss_kb=%ld hwm_kb=%ld\n", firstLook, rss, hwm);
    return firstLook < 0 ? 1 : 0;
}
