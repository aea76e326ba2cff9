#pragma once

#include "protocol/Frame.h"

#include <string>
#include <string_view>

namespace iae17 {

// Appends every frame sent and received to a text file, one line each, with
// a timestamp and the bytes in hex. A trace that cannot be written is simply
// not written: it never changes the outcome of an operation.
class Trace {
public:
    // An empty path disables the trace.
    explicit Trace(std::string path = {});

    bool enabled() const { return !path_.empty(); }
    void sent(const protocol::Frame& frame);
    void received(const protocol::Frame& frame);
    void receivedBad(const protocol::Decoder::Event& event);
    void note(std::string_view text);

private:
    void append(std::string_view direction, std::string_view what, std::string_view bytes);

    std::string path_;
};

// "02 06 01" for the bytes 0x02 0x06 0x01.
std::string hex(std::string_view bytes);

} // namespace iae17
