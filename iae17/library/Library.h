#pragma once

#include "library/Destination.h"
#include "protocol/Frame.h"
#include "protocol/Payload.h"
#include "protocol/Records.h"

#include <asio.hpp>

#include <cstdint>
#include <random>
#include <string>

namespace iae17 {

// What the library keeps between calls: where the next operation goes, the
// sequence number of the last request, where request identifiers come from,
// and the event loop every connection runs on.
class Library {
public:
    static constexpr char Version[] = "IAE17 2.00";

    Library();

    short initEth(const char* image);
    short initRs232(const char* image);

    // Runs one request to its outcome, on a connection of its own (and more,
    // should the first break). Writes the 4267 bytes of posData only on a
    // terminal answer of 0 or 4.
    short operation(protocol::FrameType type, const char* posRequest, char* posData);

    void free();

private:
    protocol::RequestId nextId();

    Destination destination_ = InvalidDestination{"no init record yet"};
    std::random_device entropy_;
    std::uint8_t seq_ = 0;
    asio::io_context io_;
};

} // namespace iae17
