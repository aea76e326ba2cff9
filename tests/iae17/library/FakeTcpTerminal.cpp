#include "FakeTcpTerminal.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace iae17::test {

namespace {

int listenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

FakeTcpTerminal::FakeTcpTerminal(Script script) : script_(std::move(script)) {
    listener_ = listenOnLoopback(port_);
    thread_ = std::thread([this] { serve(); });
}

FakeTcpTerminal::~FakeTcpTerminal() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

void FakeTcpTerminal::serve() {
    while (!stop_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) {
            continue;
        }
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            continue;
        }
        ++connections_;
        FrameLink link(connection, requests_);
        script_(link);
        ::close(connection);
    }
}

int closedPort() {
    int port = 0;
    ::close(listenOnLoopback(port));
    return port;
}

} // namespace iae17::test
