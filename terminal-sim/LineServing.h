#pragma once

#include "TcpListener.h"

#include <asio.hpp>
#include <string>

namespace sim {

// Serves the terminal on a line for as long as the io_context runs: a
// pseudo-terminal made here, or a serial device (8 data bits, no parity, one
// stop bit). Each returns the line the simulator prints for it; throws
// std::exception when the line cannot be opened.
std::string servePseudoTerminal(asio::io_context& io, unsigned baud,
                                const EndpointFactory& makeEndpoint);
std::string serveSerialDevice(asio::io_context& io, const std::string& path, unsigned baud,
                              const EndpointFactory& makeEndpoint);

} // namespace sim
