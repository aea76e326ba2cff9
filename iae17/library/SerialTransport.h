#pragma once

#include "library/LineSettings.h"
#include "library/Transport.h"

#include <asio.hpp>

#include <memory>
#include <string>

namespace iae17 {

class SerialTransport : public Transport {
public:
    // Opens the device with exactly these settings; nullptr (and why) when
    // it cannot be opened or does not take every one of them.
    static std::unique_ptr<SerialTransport> open(asio::io_context& io, const std::string& device,
                                                 const LineSettings& line, std::string& why);

    TransportStatus write(const std::string& bytes, Milliseconds timeout) override;
    TransportStatus read(std::string& into, Milliseconds timeout) override;
    // A pseudo-terminal has no output queue to measure, and a real line's
    // queue says nothing of the other side: the time is worked out from the
    // line settings alone.
    Milliseconds lineTime(std::size_t bytes) const override;

private:
    SerialTransport(asio::io_context& io, const LineSettings& line)
        : io_(io), port_(io), line_(line) {}

    asio::io_context& io_;
    asio::serial_port port_;
    LineSettings line_;
    char buffer_[4096];
};

// The line settings a serial device is set to now; nullopt if they cannot be
// read or are none of those the codes can ask for.
std::optional<LineSettings> currentLineSettings(int fd);

} // namespace iae17
