#include "LineRelay.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace iae17::test {

namespace {

void makeRaw(int fd) {
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
}

} // namespace

LineRelay::LineRelay(const std::string& farDevice, unsigned baud) : baud_(baud) {
    near_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[PATH_MAX];
    if (near_ < 0 || grantpt(near_) != 0 || unlockpt(near_) != 0 ||
        ptsname_r(near_, name, sizeof name) != 0) {
        throw std::runtime_error("no pseudo-terminal for the relay");
    }
    path_ = name;
    makeRaw(near_);
    far_ = ::open(farDevice.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (far_ < 0) {
        throw std::runtime_error("cannot open " + farDevice);
    }
    makeRaw(far_);
    toFar_ = std::thread([this] { carry(near_, far_); });
    toNear_ = std::thread([this] { carry(far_, near_); });
}

LineRelay::~LineRelay() {
    stopping_ = true;
    toFar_.join();
    toNear_.join();
    ::close(far_);
    ::close(near_);
}

// Byte i of what arrives leaves once the line has carried every byte before
// it: never earlier than it came, and one byte time after the one before.
void LineRelay::carry(int from, int to) {
    using Clock = std::chrono::steady_clock;
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / baud_);
    std::string queue;
    std::size_t sent = 0;
    Clock::time_point lineFree = Clock::now();
    while (!stopping_) {
        pollfd wait{from, POLLIN, 0};
        const auto now = Clock::now();
        int timeoutMs = 20;
        if (sent < queue.size()) {
            const auto due = lineFree + byteTime;
            timeoutMs = due <= now
                            ? 0
                            : static_cast<int>(
                                  std::chrono::duration_cast<std::chrono::milliseconds>(due - now)
                                      .count()) +
                                  1;
        }
        if (::poll(&wait, 1, timeoutMs) > 0 && (wait.revents & POLLIN) != 0) {
            char bytes[4096];
            const ssize_t got = ::read(from, bytes, sizeof bytes);
            if (got > 0) {
                if (sent == queue.size()) {
                    lineFree = std::max(lineFree, Clock::now());
                }
                queue.append(bytes, static_cast<std::size_t>(got));
            }
        } else if ((wait.revents & (POLLHUP | POLLERR)) != 0) {
            // Nobody holds the other end just now.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        std::size_t due = 0;
        for (auto at = Clock::now(); sent + due < queue.size() && lineFree + byteTime <= at;
             ++due) {
            lineFree += byteTime;
        }
        if (due > 0) {
            const ssize_t written = ::write(to, queue.data() + sent, due);
            sent += written > 0 ? static_cast<std::size_t>(written) : due;
            if (sent == queue.size()) {
                queue.clear();
                sent = 0;
            }
        }
    }
}

} // namespace iae17::test
