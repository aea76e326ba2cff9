#include "library/Exchange.h"

#include <algorithm>

namespace iae17 {

using protocol::Frame;
using protocol::FrameType;

namespace {

constexpr std::size_t AckBytes = protocol::HeaderSize + protocol::TrailerSize;

} // namespace

Exchange::Exchange(Link& link, const Clock& clock, ExchangeTimeouts timeouts, Trace& trace,
                   const Request& request)
    : link_(link), clock_(clock), timeouts_(timeouts), trace_(trace), request_(request) {}

template <class OnReply>
std::optional<Step> Exchange::sendUntilReplied(const Frame& frame, TimePoint limit,
                                               OnReply&& onReply) {
    for (int sends = 0; sends < MaxSends && clock_.now() < limit; ++sends) {
        if (!link_.send(frame)) {
            return Step{Step::Broken, Result::ComError};
        }
        const TimePoint deadline = std::min(limit, link_.replyDeadline(AckBytes, timeouts_.ack));
        for (Link::Incoming in; (in = link_.receive(deadline)).what != Link::Wait::Timeout;) {
            if (in.what == Link::Wait::Closed || in.what == Link::Wait::Failed) {
                return Step{Step::Broken, Result::ComError};
            }
            const Reply reply = onReply(in);
            if (reply.step) {
                return reply.step;
            }
            if (reply.sendAgain) {
                break;
            }
        }
    }
    return std::nullopt;
}

Step Exchange::sendRequest() {
    const std::uint8_t seq = request_.frame.seq;
    bool refused = false;
    const auto step =
        sendUntilReplied(request_.frame, TimePoint::max(), [&](const Link::Incoming& in) -> Reply {
            if (in.what != Link::Wait::Frame || in.event.frame.seq != seq) {
                refused = true;
                return {};
            }
            const Frame& frame = in.event.frame;
            if (frame.type == FrameType::Ack) {
                return {Step{Step::Acked, Result::Ok}, false};
            }
            if (frame.type == FrameType::Progress || frame.type == FrameType::Answer) {
                // The terminal only works on a request it has taken, so its ACK
                // was lost: the request must not go out again.
                early_ = frame;
                return {Step{Step::Acked, Result::Ok}, false};
            }
            if (frame.type == FrameType::Nak) {
                refused = true;
                return {std::nullopt, true};
            }
            return {Step{Step::Refused, Result::ProtocolError}, false};
        });
    if (step) {
        return *step;
    }
    trace_.note(refused ? "request refused" : "request not acknowledged");
    return Step{Step::Refused, refused ? Result::ProtocolError : Result::Timeout};
}

Step Exchange::awaitAnswer(TimePoint cap, std::string& posData) {
    TimePoint deadline = clock_.now() + timeouts_.answer;
    for (;;) {
        Link::Incoming in;
        if (auto early = takeEarly()) {
            in.what = Link::Wait::Frame;
            in.event.frame = std::move(*early);
        } else {
            in = link_.receive(std::min(deadline, cap));
        }
        switch (in.what) {
        case Link::Wait::Timeout:
            trace_.note("no answer in time");
            return Step{Step::Broken, Result::Timeout};
        case Link::Wait::Closed:
        case Link::Wait::Failed:
            return Step{Step::Broken, Result::ComError};
        case Link::Wait::Garbage:
        case Link::Wait::Bad:
            if (!refuseDamage(in)) {
                return Step{Step::Broken, Result::ProtocolError};
            }
            deadline = clock_.now() + timeouts_.answer;
            break;
        case Link::Wait::Frame:
            if (in.event.frame.type == FrameType::Progress &&
                in.event.frame.seq == request_.frame.seq) {
                deadline = clock_.now() + timeouts_.answer;
                break;
            }
            if (auto step = judge(in.event.frame, posData)) {
                if (step->kind != Step::Running) {
                    return *step;
                }
                deadline = clock_.now() + timeouts_.answer;
            }
            break;
        }
    }
}

Step Exchange::enquire(TimePoint limit, std::string& posData) {
    const Frame enquiry{FrameType::Enquiry, request_.frame.seq, protocol::idPayload(request_.id)};
    const auto step = sendUntilReplied(enquiry, limit, [&](const Link::Incoming& in) -> Reply {
        if (in.what != Link::Wait::Frame) {
            if (!refuseDamage(in)) {
                return {Step{Step::Broken, Result::ProtocolError}, false};
            }
            return {};
        }
        if (in.event.frame.type == FrameType::Progress &&
            in.event.frame.seq == request_.frame.seq) {
            return {Step{Step::Running, Result::Ok}, false};
        }
        return {judge(in.event.frame, posData), false};
    });
    if (step) {
        return *step;
    }
    trace_.note("no reply to the enquiry");
    return Step{Step::Broken, Result::Timeout};
}

std::optional<Step> Exchange::judge(const Frame& frame, std::string& posData) {
    if (frame.seq != request_.frame.seq || frame.type == FrameType::Ack ||
        frame.type == FrameType::Nak || frame.type == FrameType::Progress) {
        // Left over from an earlier exchange, or the terminal's word on a
        // resent copy of the request or enquiry.
        return std::nullopt;
    }
    if (frame.type == FrameType::Answer) {
        return acceptAnswer(frame, posData);
    }
    if (frame.type == FrameType::Unknown || frame.type == FrameType::Running) {
        const bool unknown = frame.type == FrameType::Unknown;
        const auto running = protocol::splitRunningPayload(frame.payload);
        const auto id = unknown   ? protocol::splitIdPayload(frame.payload)
                        : running ? std::optional<protocol::RequestId>(running->id)
                                  : std::nullopt;
        if (!id || *id != request_.id) {
            trace_.note("reply about another request ignored");
            return std::nullopt;
        }
        if (unknown) {
            trace_.note("the terminal never took request " + protocol::idText(request_.id));
            return Step{Step::Unknown, Result::ComError};
        }
        return Step{Step::Running, Result::Ok};
    }
    trace_.note("unexpected frame");
    return Step{Step::Refused, Result::ProtocolError};
}

std::optional<Step> Exchange::acceptAnswer(const Frame& answer, std::string& posData) {
    const auto id = protocol::answerId(answer.payload);
    if (id && *id != request_.id) {
        trace_.note("answer to request " + protocol::idText(*id) + " ignored");
        return std::nullopt;
    }
    const auto payload = protocol::splitAnswerPayload(answer.payload, request_.posData);
    if (!payload) {
        // Sound framing around content that does not make a record: the
        // terminal is asked for the answer again, as for a damaged frame.
        trace_.note("answer of " + std::to_string(answer.payload.size()) + " bytes not readable");
        if (!refuse()) {
            return Step{Step::Broken, Result::ProtocolError};
        }
        return std::nullopt;
    }
    // The answer is in hand: a failing ACK does not change it.
    link_.send(protocol::ackFrame(answer.seq));
    switch (payload->result) {
    case static_cast<std::uint8_t>(protocol::TerminalResult::Done):
        posData = payload->posData;
        return Step{Step::Answered, Result::Ok};
    case static_cast<std::uint8_t>(protocol::TerminalResult::NotSupported):
        posData = payload->posData;
        return Step{Step::Answered, Result::NotSupported};
    default:
        trace_.note("unknown terminal result " + std::to_string(payload->result));
        return Step{Step::Answered, Result::ProtocolError};
    }
}

bool Exchange::refuseDamage(const Link::Incoming& in) {
    if (refusedOnce_ && in.arrival == refusedArrival_) {
        return true;
    }
    refusedOnce_ = true;
    refusedArrival_ = in.arrival;
    return refuse();
}

bool Exchange::refuse() {
    if (++damaged_ >= MaxSends) {
        trace_.note("three damaged answers");
        return false;
    }
    return link_.send(protocol::nakFrame(request_.frame.seq, protocol::NakReason::BadFrame));
}

std::optional<Frame> Exchange::takeEarly() {
    std::optional<Frame> early;
    early.swap(early_);
    return early;
}

} // namespace iae17
