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
        ptsname_r(near_, name, sizeof name) != 0)
        throw std::runtime_error("no pseudo-terminal for the relay");
    path_ = name;
    makeRaw(near_);
    far_ = ::open(farDevice.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (far_ < 0)
        throw std::runtime_error("cannot open " + farDevice);
    makeRaw(far_);
    thread_ = std::thread([this] { carry(); });
}

LineRelay::~LineRelay() {
    stopping_ = true;
    thread_.join();
    ::close(far_);
    ::close(near_);
}

// Byte i of what arrives leaves once the line has carried every byte before
// it: never earlier than it came, and one byte time after the one before.
void LineRelay::carry() {
    using Clock = std::chrono::steady_clock;
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / baud_);
    struct Direction {
        int from, to;
        std::string queue;
        Clock::time_point lineFree;
    } ways[] = {{near_, far_, {}, {}}, {far_, near_, {}, {}}};
    while (!stopping_) {
        pollfd waits[] = {{near_, POLLIN, 0}, {far_, POLLIN, 0}};
        ::poll(waits, 2, 1);
        for (int i = 0; i < 2; ++i) {
            Direction& way = ways[i];
            char bytes[4096];
            const ssize_t got =
                (waits[i].revents & POLLIN) != 0 ? ::read(way.from, bytes, sizeof bytes) : 0;
            if (got > 0) {
                if (way.queue.empty())
                    way.lineFree = std::max(way.lineFree, Clock::now());
                way.queue.append(bytes, static_cast<std::size_t>(got));
            } else if ((waits[i].revents & (POLLHUP | POLLERR)) != 0) {
                usleep(1000); // nobody holds the other end just now
            }
            std::size_t due = 0;
            for (const auto now = Clock::now();
                 due < way.queue.size() && way.lineFree + byteTime <= now; ++due)
                way.lineFree += byteTime;
            const ssize_t written = due > 0 ? ::write(way.to, way.queue.data(), due) : 0;
            if (written > 0)
                way.queue.erase(0, static_cast<std::size_t>(written));
        }
    }
}

} // namespace iae17::test
