#pragma once

#include "library/Clock.h"

#include <string>

namespace iae17 {

enum class TransportStatus { Ok, Timeout, Closed, Failed };

// An open connection to the terminal, TCP or serial. Every call returns
// within its time-out.
class Transport {
public:
    virtual ~Transport() = default;

    // Writes all bytes. The time-out is the slack beyond the time the line
    // itself needs to carry them.
    virtual TransportStatus write(const std::string& bytes, Milliseconds timeout) = 0;

    // Appends whatever arrives first (at least one byte on Ok).
    virtual TransportStatus read(std::string& into, Milliseconds timeout) = 0;

    // How long the bytes already written still take to leave the line; the
    // ACK cannot come before that.
    virtual Milliseconds pendingOutput() { return Milliseconds(0); }
};

} // namespace iae17
