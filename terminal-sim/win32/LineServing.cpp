// The simulator's lines on Windows: a COM port through Asio's serial port;
// Windows has no pseudo-terminals.

#include "LineServing.h"

#include "LinkSession.h"

#include <stdexcept>
#include <windows.h>

namespace sim {

namespace {
using PortSession = LinkSession<asio::serial_port>;
} // namespace

std::string servePseudoTerminal(asio::io_context&, unsigned, const EndpointFactory&) {
    throw std::runtime_error("pseudo-terminals are not available on Windows; use --serial COMn");
}

std::string serveSerialDevice(asio::io_context& io, const std::string& path, unsigned baud,
                              const EndpointFactory& makeEndpoint) {
    asio::serial_port port(io);
    port.open(path);
    using Base = asio::serial_port_base;
    port.set_option(Base::baud_rate(baud));
    port.set_option(Base::character_size(8));
    port.set_option(Base::parity(Base::parity::none));
    port.set_option(Base::stop_bits(Base::stop_bits::one));
    port.set_option(Base::flow_control(Base::flow_control::none));
    const HANDLE handle = port.native_handle();
    ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    auto session = std::make_shared<PortSession>(
        std::move(port), makeEndpoint(), PortSession::Mode::Line, std::function<void()>(),
        [handle] { ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR); });
    session->start();
    return "serial " + path;
}

} // namespace sim
