#pragma once

#include "library/Destination.h"
#include "protocol/Frame.h"

#include <cstdint>
#include <string>

namespace iae17 {

// What the library remembers between calls: where the next operation goes
// and the sequence number of the last request.
class Library {
public:
    static constexpr char Version[] = "IAE17 1.00";

    short initEth(const char* image);
    short initRs232(const char* image);

    // Opens the connection, runs one request and its answer, closes. Writes
    // the 4267 bytes of posData only on a terminal answer of 0 or 4.
    short operation(protocol::FrameType type, const char* posRequest, char* posData);

    void free();

private:
    Destination destination_ = InvalidDestination{"no init record yet"};
    std::uint8_t seq_ = 0;
};

} // namespace iae17
