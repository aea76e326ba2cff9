#include "platform/posix/CloseSignals.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>

namespace kvl {

namespace {

// The write end of the pipe of the loop that owns the signals.
std::atomic<int> signalPipe{-1};

extern "C" void onCloseSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const char byte = static_cast<char>(signalNumber);
        const ssize_t ignored = ::write(fd, &byte, 1);
        (void)ignored;
    }
    errno = savedErrno;
}

} // namespace

CloseSignals::CloseSignals() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        throw std::runtime_error("cannot create the event loop's signal pipe");
    read_.reset(fds[0]);
    write_.reset(fds[1]);
}

CloseSignals::~CloseSignals() {
    restore();
}

void CloseSignals::install() {
    if (installed_)
        return;
    previousWrite_ = signalPipe.exchange(write_.get());
    struct sigaction action {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &previousTerm_);
    ::sigaction(SIGINT, &action, &previousInt_);
    installed_ = true;
}

void CloseSignals::restore() {
    if (!installed_)
        return;
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
    ::sigaction(SIGINT, &previousInt_, nullptr);
    signalPipe.store(previousWrite_);
    installed_ = false;
}

bool CloseSignals::drain() {
    bool any = false;
    char bytes[64];
    for (;;) {
        const ssize_t count = ::read(read_.get(), bytes, sizeof bytes);
        if (count > 0) {
            any = true;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        return any;
    }
}

} // namespace kvl
