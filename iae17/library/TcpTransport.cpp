#include "library/TcpTransport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace iae17 {

namespace {

using Steady = std::chrono::steady_clock;

// Waits for the socket to become ready; false when the time is up.
bool ready(int fd, short events, Steady::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<Milliseconds>(deadline - Steady::now()).count() + 1;
        pollfd wait{fd, events, 0};
        const int result = ::poll(&wait, 1, left > 0 ? static_cast<int>(left) : 0);
        if (result > 0) {
            return true;
        }
        if (result == 0 || errno != EINTR) {
            return result < 0;
        }
    }
}

TransportStatus statusOf(int error) {
    return error == ECONNRESET || error == EPIPE ? TransportStatus::Closed
                                                 : TransportStatus::Failed;
}

} // namespace

std::unique_ptr<TcpTransport> TcpTransport::connect(const EthernetDestination& destination,
                                                    Milliseconds timeout, std::string& why) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(destination.port);
    if (::inet_pton(AF_INET, destination.address.c_str(), &address.sin_addr) != 1) {
        why = "address " + destination.address + " not valid";
        return nullptr;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        why = std::string("no socket: ") + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<TcpTransport> transport(new TcpTransport(fd));
    // Frames are small and each waits for the other side: send them at once.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS) {
            why = std::string("connect failed: ") + std::strerror(errno);
            return nullptr;
        }
        if (!ready(fd, POLLOUT, Steady::now() + timeout)) {
            why = "connect timed out";
            return nullptr;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            why = std::string("connect failed: ") + std::strerror(error != 0 ? error : errno);
            return nullptr;
        }
    }
    return transport;
}

TcpTransport::~TcpTransport() {
    ::close(fd_);
}

TransportStatus TcpTransport::write(const std::string& bytes, Milliseconds timeout) {
    const auto deadline = Steady::now() + timeout;
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!ready(fd_, POLLOUT, deadline)) {
                return TransportStatus::Timeout;
            }
        } else if (errno != EINTR) {
            return statusOf(errno);
        }
    }
    return TransportStatus::Ok;
}

TransportStatus TcpTransport::read(std::string& into, Milliseconds timeout) {
    const auto deadline = Steady::now() + timeout;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n > 0) {
            into.append(buffer, static_cast<std::size_t>(n));
            return TransportStatus::Ok;
        }
        if (n == 0) {
            return TransportStatus::Closed;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!ready(fd_, POLLIN, deadline)) {
                return TransportStatus::Timeout;
            }
        } else if (errno != EINTR) {
            return statusOf(errno);
        }
    }
}

} // namespace iae17
