#include "library/Link.h"

#include <algorithm>

namespace iae17 {

using protocol::Decoder;

namespace {

Milliseconds until(TimePoint deadline, TimePoint now) {
    return std::max(Milliseconds(1),
                    std::chrono::duration_cast<Milliseconds>(deadline - now) + Milliseconds(1));
}

constexpr std::size_t LargestFrame =
    protocol::HeaderSize + protocol::MaxPayload + protocol::TrailerSize;

} // namespace

Link::Link(Transport& transport, const Clock& clock, Milliseconds writeSlack, Trace& trace)
    : transport_(transport), clock_(clock), writeSlack_(writeSlack), trace_(trace) {}

bool Link::send(const protocol::Frame& frame) {
    trace_.sent(frame);
    const std::string wire = protocol::encode(frame);
    const TimePoint start = std::max(clock_.now(), lineFree_);
    const TransportStatus status = transport_.write(wire, writeSlack_);
    lineFree_ = start + transport_.lineTime(wire.size());
    if (status != TransportStatus::Ok) {
        trace_.note("write failed");
    }
    return status == TransportStatus::Ok;
}

TimePoint Link::replyDeadline(std::size_t replyBytes, Milliseconds slack) const {
    return std::max(clock_.now(), lineFree_) + transport_.lineTime(replyBytes) + slack;
}

Link::Incoming Link::receive(TimePoint deadline) {
    const TimePoint ceiling = deadline + transport_.lineTime(LargestFrame) + writeSlack_;
    for (;;) {
        if (auto event = decoder_.next()) {
            Incoming in;
            in.arrival = arrivals_;
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
        bytes_.clear();
        switch (transport_.read(bytes_, until(deadline, now))) {
        case TransportStatus::Ok:
            ++arrivals_;
            decoder_.feed(bytes_);
            if (const std::size_t missing = decoder_.missing()) {
                deadline = std::min(
                    ceiling,
                    std::max(deadline, clock_.now() + transport_.lineTime(missing) + writeSlack_));
            }
            break;
        case TransportStatus::Timeout:
            return Incoming{};
        case TransportStatus::Closed:
            trace_.note("connection closed by the terminal");
            return Incoming{Wait::Closed, {}, arrivals_};
        case TransportStatus::Failed:
            trace_.note("read failed");
            return Incoming{Wait::Failed, {}, arrivals_};
        }
    }
}

} // namespace iae17
