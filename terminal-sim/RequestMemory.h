#pragma once

#include "Fault.h"
#include "Operation.h"
#include "protocol/Payload.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace sim {

using SteadyTime = std::chrono::steady_clock::time_point;

// What the terminal knows of one request it took.
struct Remembered {
    Operation operation = Operation::Status;
    std::string payload;       // the request as received: a resend carries the same
    std::string answerPayload; // the ANSWER as built, empty when the request was not run
    SteadyTime acceptedAt{};
    unsigned delayMs = 0;   // the request is done this long after it was taken
    unsigned progress = 0;  // PROGRESS frames over that time
    bool mute = false;      // the terminal never says a word about it
    bool delivered = false; // the library acknowledged its answer
    // For the exchange log.
    std::string amount;
    std::string stan;
    std::string result;
    std::string fault;

    SteadyTime readyAt() const { return acceptedAt + std::chrono::milliseconds(delayMs); }
};

// The requests the terminal took, by identifier, across connections: a
// request is never run twice, and a library that lost an answer can ask for
// it again. The oldest are forgotten beyond Capacity.
class RequestMemory {
public:
    static constexpr std::size_t Capacity = 128;

    Remembered* find(iae17::protocol::RequestId id);
    Remembered& remember(iae17::protocol::RequestId id, Remembered entry);

    // The requests run whose answers the library never acknowledged, oldest
    // first.
    std::vector<std::pair<iae17::protocol::RequestId, const Remembered*>> undelivered() const;

private:
    std::map<iae17::protocol::RequestId, Remembered> entries_;
    std::deque<iae17::protocol::RequestId> order_;
};

// Whether the terminal hears anything at all: after some faults it stays deaf
// for a while, as a terminal does while it restarts.
class Availability {
public:
    void deafUntil(SteadyTime until) {
        if (until > deafUntil_)
            deafUntil_ = until;
    }
    bool deaf(SteadyTime now) const { return now < deafUntil_; }

private:
    SteadyTime deafUntil_{};
};

} // namespace sim
