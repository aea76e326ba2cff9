#pragma once

#include "library/Clock.h"
#include "library/Link.h"
#include "library/Trace.h"
#include "protocol/Frame.h"
#include "protocol/Payload.h"

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
    // How long the library goes on trying to find out what became of a
    // request once its exchange broke after the terminal may have taken it.
    Milliseconds recovery{30000};
};

// How many times a frame is sent before giving up on it.
constexpr int MaxSends = 3;

// PROGRESS frames restart the answer timer, but a terminal that never stops
// sending them must not hold the caller for ever.
constexpr int MaxAnswerTimeouts = 10;

// One request as it goes out, with what its answer is checked against.
struct Request {
    protocol::Frame frame;
    protocol::RequestId id = 0;
    std::string posData; // the POSDATA image sent, which the answer refers to
};

// Where one step of the exchange left it.
struct Step {
    enum Kind {
        Answered, // the terminal's answer is in hand; code is the result
        Acked,    // the terminal took the request
        Refused,  // the request never got through; code says why
        Broken,   // the exchange broke while the terminal may hold the request
        Unknown,  // the terminal says it never took the request
        Running,  // the terminal is still working on it
    } kind = Broken;
    short code = Result::ComError;
};

// The library's side of one connection: sends a request until ACKed (at most
// MaxSends times) and never again after that, so that a lost answer cannot
// turn into a second charge; waits for the answer; or asks the terminal what
// became of a request whose answer was lost.
class Exchange {
public:
    Exchange(Link& link, const Clock& clock, ExchangeTimeouts timeouts, Trace& trace,
             const Request& request);

    Step sendRequest();
    // Waits for the answer until the answer time-out, restarted by every
    // PROGRESS, but never beyond `cap`. On a terminal answer of 0 or 4 its
    // POSDATA image is put in `posData`.
    Step awaitAnswer(TimePoint cap, std::string& posData);
    // Sends the ENQUIRY (at most MaxSends times, none after `limit`) and
    // reads the reply.
    Step enquire(TimePoint limit, std::string& posData);

private:
    // What a reply to a frame sent makes of the exchange: a step, or a
    // reason to send the frame again at once, or nothing yet.
    struct Reply {
        std::optional<Step> step;
        bool sendAgain = false;
    };
    // Sends the frame, at most MaxSends times, until a reply makes a step;
    // nullopt when none did by then or by the limit.
    template <class OnReply>
    std::optional<Step> sendUntilReplied(const protocol::Frame& frame, TimePoint limit,
                                         OnReply&& onReply);
    // What a frame of the exchange's seq tells, if anything.
    std::optional<Step> judge(const protocol::Frame& frame, std::string& posData);
    // nullopt when the answer is another request's, or was refused.
    std::optional<Step> acceptAnswer(const protocol::Frame& answer, std::string& posData);
    // A frame or bytes that cannot be the answer: refused with a NAK at
    // once, once per arrival of bytes. False once the third breaks the
    // exchange.
    bool refuseDamage(const Link::Incoming& in);
    bool refuse();
    std::optional<protocol::Frame> takeEarly();

    Link& link_;
    const Clock& clock_;
    ExchangeTimeouts timeouts_;
    Trace& trace_;
    const Request& request_;
    // A frame that arrived in place of the ACK.
    std::optional<protocol::Frame> early_;
    int damaged_ = 0;
    unsigned refusedArrival_ = 0;
    bool refusedOnce_ = false;
};

} // namespace iae17
