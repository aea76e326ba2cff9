#include "library/SerialTransport.h"

#include "library/AsioWait.h"

#include <termios.h>

namespace iae17 {

namespace {

std::optional<unsigned> baudOf(speed_t speed) {
    switch (speed) {
    case B300:
        return 300;
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    default:
        return std::nullopt;
    }
}

TransportStatus statusOf(const asio::error_code& error) {
    if (!error) {
        return TransportStatus::Ok;
    }
    return error == asio::error::eof ? TransportStatus::Closed : TransportStatus::Failed;
}

} // namespace

std::optional<LineSettings> currentLineSettings(int fd) {
    termios attributes{};
    if (tcgetattr(fd, &attributes) != 0) {
        return std::nullopt;
    }
    const auto output = baudOf(cfgetospeed(&attributes));
    const auto input = baudOf(cfgetispeed(&attributes));
    const tcflag_t size = attributes.c_cflag & CSIZE;
    if (!output || !input || *output != *input || (size != CS7 && size != CS8)) {
        return std::nullopt;
    }
    LineSettings line;
    line.baud = *output;
    line.dataBits = size == CS7 ? 7 : 8;
    line.parity = (attributes.c_cflag & PARENB) == 0   ? Parity::None
                  : (attributes.c_cflag & PARODD) != 0 ? Parity::Odd
                                                       : Parity::Even;
    line.stopBits = (attributes.c_cflag & CSTOPB) != 0 ? 2 : 1;
    return line;
}

std::unique_ptr<SerialTransport> SerialTransport::open(asio::io_context& io,
                                                       const std::string& device,
                                                       const LineSettings& line, std::string& why) {
    std::unique_ptr<SerialTransport> transport(new SerialTransport(io, line));
    asio::serial_port& port = transport->port_;
    asio::error_code error;
    port.open(device, error);
    if (error) {
        why = "cannot open " + device + ": " + error.message();
        return nullptr;
    }
    using Base = asio::serial_port_base;
    const Base::parity::type parity = line.parity == Parity::None  ? Base::parity::none
                                      : line.parity == Parity::Odd ? Base::parity::odd
                                                                   : Base::parity::even;
    port.set_option(Base::baud_rate(line.baud), error);
    if (!error) {
        port.set_option(Base::character_size(line.dataBits), error);
    }
    if (!error) {
        port.set_option(Base::parity(parity), error);
    }
    if (!error) {
        port.set_option(
            Base::stop_bits(line.stopBits == 2 ? Base::stop_bits::two : Base::stop_bits::one),
            error);
    }
    if (!error) {
        port.set_option(Base::flow_control(Base::flow_control::none), error);
    }
    if (error) {
        why = "cannot set the line of " + device + ": " + error.message();
        return nullptr;
    }
    // A device may accept the request and keep other settings (a
    // pseudo-terminal stays at 8 data bits, no parity): read back what it did.
    const auto actual = currentLineSettings(port.native_handle());
    if (!actual || !(*actual == line)) {
        why = device + " does not take the requested line settings";
        return nullptr;
    }
    // Bytes left on the line from an earlier exchange are not ours. Only the
    // input goes: flushing the output too would discard the last ACK of the
    // previous exchange while the terminal has not read it yet (on a
    // pseudo-terminal, output waits in the other end's input queue).
    tcflush(port.native_handle(), TCIFLUSH);
    return transport;
}

TransportStatus SerialTransport::write(const std::string& bytes, Milliseconds timeout) {
    const auto outcome = runWithTimeout(
        io_, timeout + lineTime(bytes.size()),
        [&](auto handler) { asio::async_write(port_, asio::buffer(bytes), handler); },
        [&] {
            asio::error_code ignored;
            port_.cancel(ignored);
        });
    return outcome ? statusOf(outcome->error) : TransportStatus::Timeout;
}

TransportStatus SerialTransport::read(std::string& into, Milliseconds timeout) {
    const auto outcome = runWithTimeout(
        io_, timeout, [&](auto handler) { port_.async_read_some(asio::buffer(buffer_), handler); },
        [&] {
            asio::error_code ignored;
            port_.cancel(ignored);
        });
    if (!outcome) {
        return TransportStatus::Timeout;
    }
    into.append(buffer_, outcome->bytes);
    return statusOf(outcome->error);
}

Milliseconds SerialTransport::lineTime(std::size_t bytes) const {
    const unsigned bitsPerByte =
        1 + line_.dataBits + (line_.parity == Parity::None ? 0 : 1) + line_.stopBits;
    return Milliseconds(1 + bytes * bitsPerByte * 1000 / line_.baud);
}

} // namespace iae17
