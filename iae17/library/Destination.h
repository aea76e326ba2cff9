#pragma once

#include "library/LineSettings.h"

#include <string>
#include <variant>

namespace iae17 {

constexpr std::size_t EthInitSize = 22;
constexpr std::size_t Rs232InitSize = 14;

struct EthernetDestination {
    std::string address;
    unsigned short port = 0;
};

struct SerialDestination {
    unsigned comNumber = 0; // n of "COMn"
    LineSettings line;
};

// Set when an init record could not be read: the next operation fails
// rather than going to an earlier destination.
struct InvalidDestination {
    std::string reason;
};

using Destination = std::variant<InvalidDestination, EthernetDestination, SerialDestination>;

// From the 22-byte Ethernet init image: address (16) and port (6), both
// padded. The address must be a dotted IPv4 address, the port 1-65535.
Destination parseEthInit(const char* image);

// From the 14-byte serial init image: "COMn" (6), then the baud, data bits,
// parity and stop bits codes (2 each).
Destination parseRs232Init(const char* image);

} // namespace iae17
