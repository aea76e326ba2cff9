// TCP to the terminal through Winsock on Windows: a non-blocking socket
// waited on with select(), as the POSIX transport waits with poll().

#include "library/Transports.h"

#include <winsock2.h>

#include <cstdlib>
#include <string>

namespace iae17 {

namespace {

using Steady = std::chrono::steady_clock;

// Winsock is started for each connection and stopped with it; the system
// counts the starts.
class WinsockTransport : public Transport {
public:
    explicit WinsockTransport(SOCKET socket) : socket_(socket) {}
    ~WinsockTransport() override {
        ::closesocket(socket_);
        ::WSACleanup();
    }
    WinsockTransport(const WinsockTransport&) = delete;
    WinsockTransport& operator=(const WinsockTransport&) = delete;

    TransportStatus write(const std::string& bytes, Milliseconds timeout) override;
    TransportStatus read(std::string& into, Milliseconds timeout) override;

    SOCKET socket() const { return socket_; }

private:
    SOCKET socket_;
};

enum class Wait { Read, Write, Connect };

// Waits for the socket to become ready; false when the time is up. A failed
// connect shows in the exception set, and counts as ready so that its error
// can be read.
bool ready(SOCKET socket, Wait wait, Steady::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Steady::now());
    const long long micros = left.count() > 0 ? left.count() : 0;
    timeval limit{static_cast<long>(micros / 1000000), static_cast<long>(micros % 1000000)};
    fd_set readable, writable, failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, wait == Wait::Read ? &readable : &writable);
    if (wait == Wait::Connect)
        FD_SET(socket, &failed);
    return ::select(0, &readable, &writable, &failed, &limit) > 0;
}

TransportStatus statusOf(int error) {
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAESHUTDOWN
               ? TransportStatus::Closed
               : TransportStatus::Failed;
}

std::string errorText(int error) {
    return "Winsock error " + std::to_string(error);
}

TransportStatus WinsockTransport::write(const std::string& bytes, Milliseconds timeout) {
    const auto deadline = Steady::now() + timeout;
    for (std::size_t sent = 0; sent < bytes.size();) {
        const int n =
            ::send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        const int error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            return statusOf(error);
        if (!ready(socket_, Wait::Write, deadline))
            return TransportStatus::Timeout;
    }
    return TransportStatus::Ok;
}

TransportStatus WinsockTransport::read(std::string& into, Milliseconds timeout) {
    const auto deadline = Steady::now() + timeout;
    char buffer[4096];
    for (;;) {
        const int n = ::recv(socket_, buffer, sizeof buffer, 0);
        if (n > 0) {
            into.append(buffer, static_cast<std::size_t>(n));
            return TransportStatus::Ok;
        }
        if (n == 0)
            return TransportStatus::Closed;
        const int error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            return statusOf(error);
        if (!ready(socket_, Wait::Read, deadline))
            return TransportStatus::Timeout;
    }
}

} // namespace

std::unique_ptr<Transport> connectTcp(const EthernetDestination& destination, Milliseconds timeout,
                                      std::string& why) {
    WSADATA data;
    if (const int error = ::WSAStartup(MAKEWORD(2, 2), &data); error != 0) {
        why = "Winsock not available: " + errorText(error);
        return nullptr;
    }
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) {
        why = "no socket: " + errorText(::WSAGetLastError());
        ::WSACleanup();
        return nullptr;
    }
    auto transport = std::make_unique<WinsockTransport>(socket);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(destination.port);
    // The init record holds a dotted IPv4 address already checked.
    address.sin_addr.s_addr = ::inet_addr(destination.address.c_str());
    if (address.sin_addr.s_addr == INADDR_NONE && destination.address != "255.255.255.255") {
        why = "address " + destination.address + " not valid";
        return nullptr;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    // Frames are small and each waits for the other side: send them at once.
    const BOOL on = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK) {
            why = "connect failed: " + errorText(error);
            return nullptr;
        }
        if (!ready(socket, Wait::Connect, Steady::now() + timeout)) {
            why = "connect timed out";
            return nullptr;
        }
        int failure = 0;
        int length = sizeof failure;
        if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure),
                         &length) != 0 ||
            failure != 0) {
            why = "connect failed: " + errorText(failure != 0 ? failure : ::WSAGetLastError());
            return nullptr;
        }
    }
    return transport;
}

} // namespace iae17
