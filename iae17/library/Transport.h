#pragma once

#include "library/Clock.h"

#include <cstddef>
#include <memory>
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

    // How long the line takes to carry this many bytes; nothing on a network.
    virtual Milliseconds lineTime(std::size_t) const { return Milliseconds(0); }
};

// Opens a new connection to the terminal of the last init record: every
// operation, and every attempt to find out what became of one, has its own.
class Connector {
public:
    virtual ~Connector() = default;
    // nullptr when the terminal cannot be reached within the time-out; why
    // then says what happened.
    virtual std::unique_ptr<Transport> open(Milliseconds timeout, std::string& why) = 0;
};

} // namespace iae17
