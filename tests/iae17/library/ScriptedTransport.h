#pragma once

#include "library/Clock.h"
#include "library/Transport.h"
#include "protocol/Frame.h"

#include <deque>
#include <functional>
#include <vector>

namespace iae17::test {

class FakeClock : public Clock {
public:
    TimePoint now() const override { return now_; }
    void advance(Milliseconds by) { now_ += by; }
    Milliseconds elapsed() const {
        return std::chrono::duration_cast<Milliseconds>(now_ - TimePoint{});
    }

private:
    TimePoint now_{};
};

// A terminal at the other end of a transport, in fake time: each frame the
// library writes goes to onFrame, which queues what the terminal sends back
// and how long after the step before it.
class ScriptedTransport : public Transport {
public:
    explicit ScriptedTransport(FakeClock& clock) : clock_(clock) {}

    std::function<void(const protocol::Frame&)> onFrame;
    TransportStatus writeStatus = TransportStatus::Ok;

    void send(const protocol::Frame& frame, Milliseconds after = Milliseconds(0));
    void sendBytes(std::string bytes, Milliseconds after = Milliseconds(0));
    void close(Milliseconds after = Milliseconds(0));

    const std::vector<protocol::Frame>& written() const { return written_; }
    int writtenOfType(protocol::FrameType type) const;

    TransportStatus write(const std::string& bytes, Milliseconds timeout) override;
    TransportStatus read(std::string& into, Milliseconds timeout) override;

private:
    struct Step {
        Milliseconds after;
        std::string bytes;
        TransportStatus status;
    };

    FakeClock& clock_;
    std::deque<Step> incoming_;
    std::vector<protocol::Frame> written_;
    protocol::Decoder decoder_;
};

} // namespace iae17::test
