#include "Devices.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

speed_t speedOf(unsigned baud) {
    switch (baud) {
    case 300:
        return B300;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B9600;
    }
}

void makeRaw(int fd, unsigned baud, const std::string& name) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        fail(name);
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, speedOf(baud));
    cfsetospeed(&settings, speedOf(baud));
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        fail(name);
}

} // namespace

PseudoTerminal openPseudoTerminal(unsigned baud) {
    PseudoTerminal pty;
    pty.masterFd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.masterFd < 0)
        fail("posix_openpt");
    char name[PATH_MAX];
    if (grantpt(pty.masterFd) != 0 || unlockpt(pty.masterFd) != 0 ||
        ptsname_r(pty.masterFd, name, sizeof name) != 0) {
        const int saved = errno;
        close(pty.masterFd);
        errno = saved;
        fail("pseudo-terminal");
    }
    pty.slavePath = name;
    try {
        makeRaw(pty.masterFd, baud, pty.slavePath);
    } catch (...) {
        close(pty.masterFd);
        throw;
    }
    return pty;
}

int openSerialDevice(const std::string& path, unsigned baud) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        fail(path);
    try {
        makeRaw(fd, baud, path);
    } catch (...) {
        close(fd);
        throw;
    }
    return fd;
}

void flushLine(int fd) {
    tcflush(fd, TCIOFLUSH);
}

} // namespace sim
