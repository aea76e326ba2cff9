#pragma once

#include "library/Destination.h"
#include "library/LineSettings.h"
#include "library/Transport.h"

#include <asio.hpp>

#include <memory>
#include <string>

namespace iae17 {

// The connections of the operating system the library is built for (TCP and
// serial transport files of their own on each): nullptr when the terminal
// cannot be reached, why then says what happened.

// A TCP connection to the terminal within the time-out.
std::unique_ptr<Transport> connectTcp(const EthernetDestination& destination, Milliseconds timeout,
                                      std::string& why);

// The serial device opened with exactly these settings; refused when the
// device does not take every one of them.
std::unique_ptr<Transport> openSerial(asio::io_context& io, const std::string& device,
                                      const LineSettings& line, std::string& why);

} // namespace iae17
