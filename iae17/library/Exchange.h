#pragma once

#include "library/Clock.h"
#include "library/Trace.h"
#include "library/Transport.h"
#include "protocol/Frame.h"

#include <optional>
#include <string>

namespace iae17 {

// Result codes of the operation entry points.
namespace Result {
constexpr short Ok = 0;
constexpr short ComError = 1;
constexpr short ProtocolError = 2;
constexpr short Timeout = 3;
constexpr short NotSupported = 4;
} // namespace Result

struct ExchangeTimeouts {
    Milliseconds ack{2000};
    Milliseconds answer{30000};
};

// How many times a frame is sent before giving up on it.
constexpr int MaxSends = 3;

// One request and its answer over an open transport, library side: the
// request is sent until ACKed (at most MaxSends times) and never again after
// that, so a lost answer cannot turn into a second charge.
class Exchange {
public:
    Exchange(Transport& transport, const Clock& clock, ExchangeTimeouts timeouts, Trace& trace);

    // Runs the exchange for a request frame. On a terminal answer of 0 or 4
    // the answer's POSDATA image replaces posData; otherwise posData is left
    // as it was.
    short run(const protocol::Frame& request, std::string& posData);

private:
    enum class Wait { Frame, Bad, Garbage, Timeout, Closed, Failed };
    struct Incoming {
        Wait what = Wait::Timeout;
        protocol::Decoder::Event event;
    };

    short sendRequest(const protocol::Frame& request);
    short awaitAnswer(std::uint8_t seq, std::string& posData);
    short acceptAnswer(const protocol::Frame& answer, std::string& posData);
    Incoming receive(TimePoint deadline);
    bool send(const protocol::Frame& frame);

    Transport& transport_;
    const Clock& clock_;
    ExchangeTimeouts timeouts_;
    Trace& trace_;
    protocol::Decoder decoder_;
    // A PROGRESS or ANSWER that arrived in place of the ACK.
    std::optional<protocol::Frame> early_;
};

} // namespace iae17
