#include "LineServing.h"

#include "Devices.h"
#include "LinkSession.h"

namespace sim {

namespace {

using DeviceSession = LinkSession<asio::posix::stream_descriptor>;

void serveDevice(asio::io_context& io, int fd, const EndpointFactory& makeEndpoint) {
    auto session = std::make_shared<DeviceSession>(
        asio::posix::stream_descriptor(io, fd), makeEndpoint(), DeviceSession::Mode::Line,
        std::function<void()>(), [fd] { flushLine(fd); });
    session->start();
}

} // namespace

std::string servePseudoTerminal(asio::io_context& io, unsigned baud,
                                const EndpointFactory& makeEndpoint) {
    const PseudoTerminal pty = openPseudoTerminal(baud);
    serveDevice(io, pty.masterFd, makeEndpoint);
    return "pty " + pty.slavePath;
}

std::string serveSerialDevice(asio::io_context& io, const std::string& path, unsigned baud,
                              const EndpointFactory& makeEndpoint) {
    serveDevice(io, openSerialDevice(path, baud), makeEndpoint);
    return "serial " + path;
}

} // namespace sim
