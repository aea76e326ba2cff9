#include "library/Exchange.h"

#include <algorithm>
#include <optional>

namespace iae17 {

using protocol::Decoder;
using protocol::Frame;
using protocol::FrameType;

namespace {

// PROGRESS frames restart the answer timer, but a terminal that never stops
// sending them must not hold the caller for ever.
constexpr int MaxAnswerTimeouts = 10;

Milliseconds until(TimePoint deadline, TimePoint now) {
    return std::max(Milliseconds(1),
                    std::chrono::duration_cast<Milliseconds>(deadline - now) + Milliseconds(1));
}

} // namespace

Exchange::Exchange(Transport& transport, const Clock& clock, ExchangeTimeouts timeouts,
                   Trace& trace)
    : transport_(transport), clock_(clock), timeouts_(timeouts), trace_(trace) {}

short Exchange::run(const Frame& request, std::string& posData) {
    const short sent = sendRequest(request);
    if (sent != Result::Ok) {
        return sent;
    }
    return awaitAnswer(request.seq, posData);
}

short Exchange::sendRequest(const Frame& request) {
    bool refused = false;
    for (int sends = 0; sends < MaxSends; ++sends) {
        if (!send(request)) {
            return Result::ComError;
        }
        const TimePoint deadline = clock_.now() + timeouts_.ack + transport_.pendingOutput();
        for (bool waiting = true; waiting;) {
            const Incoming in = receive(deadline);
            switch (in.what) {
            case Wait::Timeout:
                waiting = false;
                break;
            case Wait::Closed:
            case Wait::Failed:
                return Result::ComError;
            case Wait::Garbage:
            case Wait::Bad:
                refused = true;
                break;
            case Wait::Frame: {
                const Frame& frame = in.event.frame;
                if (frame.seq != request.seq) {
                    refused = true;
                } else if (frame.type == FrameType::Ack) {
                    return Result::Ok;
                } else if (frame.type == FrameType::Progress || frame.type == FrameType::Answer) {
                    // The terminal only works on a request it has taken, so
                    // its ACK was lost: the request must not go out again.
                    early_ = frame;
                    return Result::Ok;
                } else if (frame.type == FrameType::Nak) {
                    refused = true;
                    waiting = false;
                } else {
                    return Result::ProtocolError;
                }
                break;
            }
            }
        }
    }
    trace_.note(refused ? "request refused" : "request not acknowledged");
    return refused ? Result::ProtocolError : Result::Timeout;
}

short Exchange::awaitAnswer(std::uint8_t seq, std::string& posData) {
    const TimePoint limit = clock_.now() + MaxAnswerTimeouts * timeouts_.answer;
    TimePoint deadline = clock_.now() + timeouts_.answer;
    int badFrames = 0;
    for (;;) {
        Incoming in;
        if (early_) {
            in.what = Wait::Frame;
            in.event.frame = std::move(*early_);
            early_.reset();
        } else {
            in = receive(std::min(deadline, limit));
        }
        switch (in.what) {
        case Wait::Timeout:
            trace_.note("no answer in time");
            return Result::Timeout;
        case Wait::Closed:
        case Wait::Failed:
            return Result::ComError;
        case Wait::Garbage:
            break;
        case Wait::Bad:
            // Most likely the answer itself, damaged: ask for it again.
            if (++badFrames >= MaxSends) {
                return Result::ProtocolError;
            }
            if (!send(protocol::nakFrame(seq, protocol::NakReason::BadFrame))) {
                return Result::ComError;
            }
            deadline = clock_.now() + timeouts_.answer;
            break;
        case Wait::Frame: {
            const Frame& frame = in.event.frame;
            if (frame.seq != seq || frame.type == FrameType::Ack || frame.type == FrameType::Nak) {
                // Left over from an earlier exchange, or the terminal's word
                // on a resent copy of the request.
                break;
            }
            if (frame.type == FrameType::Progress) {
                deadline = clock_.now() + timeouts_.answer;
                break;
            }
            if (frame.type == FrameType::Answer) {
                return acceptAnswer(frame, posData);
            }
            return Result::ProtocolError;
        }
        }
    }
}

short Exchange::acceptAnswer(const Frame& answer, std::string& posData) {
    const auto payload = protocol::splitAnswerPayload(answer.payload);
    if (!payload) {
        send(protocol::nakFrame(answer.seq, protocol::NakReason::BadFrame));
        trace_.note("answer payload of " + std::to_string(answer.payload.size()) + " bytes");
        return Result::ProtocolError;
    }
    // The answer is in hand: a failing ACK does not change it.
    send(protocol::ackFrame(answer.seq));
    switch (payload->result) {
    case static_cast<std::uint8_t>(protocol::TerminalResult::Done):
        posData = payload->posData;
        return Result::Ok;
    case static_cast<std::uint8_t>(protocol::TerminalResult::NotSupported):
        posData = payload->posData;
        return Result::NotSupported;
    default:
        trace_.note("unknown terminal result " + std::to_string(payload->result));
        return Result::ProtocolError;
    }
}

Exchange::Incoming Exchange::receive(TimePoint deadline) {
    for (;;) {
        if (auto event = decoder_.next()) {
            Incoming in;
            in.event = std::move(*event);
            switch (in.event.kind) {
            case Decoder::Event::FrameReady:
                in.what = Wait::Frame;
                trace_.received(in.event.frame);
                break;
            case Decoder::Event::BadFrame:
                in.what = Wait::Bad;
                trace_.receivedBad(in.event);
                break;
            case Decoder::Event::Garbage:
                in.what = Wait::Garbage;
                trace_.receivedBad(in.event);
                break;
            }
            return in;
        }
        const TimePoint now = clock_.now();
        if (now >= deadline) {
            return Incoming{};
        }
        std::string bytes;
        switch (transport_.read(bytes, until(deadline, now))) {
        case TransportStatus::Ok:
            decoder_.feed(bytes);
            break;
        case TransportStatus::Timeout:
            return Incoming{};
        case TransportStatus::Closed:
            trace_.note("connection closed by the terminal");
            return Incoming{Wait::Closed, {}};
        case TransportStatus::Failed:
            trace_.note("read failed");
            return Incoming{Wait::Failed, {}};
        }
    }
}

bool Exchange::send(const Frame& frame) {
    trace_.sent(frame);
    const std::string wire = protocol::encode(frame);
    const TransportStatus status = transport_.write(wire, timeouts_.ack);
    if (status != TransportStatus::Ok) {
        trace_.note("write failed");
    }
    return status == TransportStatus::Ok;
}

} // namespace iae17
