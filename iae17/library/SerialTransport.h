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
    static std::unique_ptr<SerialTransport> open(const std::string& device,
                                                 const LineSettings& line, std::string& why);

    TransportStatus write(const std::string& bytes, Milliseconds timeout) override;
    TransportStatus read(std::string& into, Milliseconds timeout) override;
    Milliseconds pendingOutput() override;

private:
    explicit SerialTransport(const LineSettings& line) : port_(io_), line_(line) {}

    Milliseconds lineTime(std::size_t bytes) const;

    asio::io_context io_;
    asio::serial_port port_;
    LineSettings line_;
};

// The line settings a serial device is set to now; nullopt if they cannot be
// read or are none of those the codes can ask for.
std::optional<LineSettings> currentLineSettings(int fd);

} // namespace iae17
