#include "ScriptedTransport.h"

#include <gtest/gtest.h>

namespace iae17::test {

void ScriptedTransport::send(const protocol::Frame& frame, Milliseconds after) {
    sendBytes(protocol::encode(frame), after);
}

void ScriptedTransport::sendBytes(std::string bytes, Milliseconds after) {
    incoming_.push_back(Step{after, std::move(bytes), TransportStatus::Ok});
}

void ScriptedTransport::close(Milliseconds after) {
    incoming_.push_back(Step{after, {}, TransportStatus::Closed});
}

int ScriptedTransport::writtenOfType(protocol::FrameType type) const {
    int count = 0;
    for (const auto& frame : written_) {
        count += frame.type == type ? 1 : 0;
    }
    return count;
}

TransportStatus ScriptedTransport::write(const std::string& bytes, Milliseconds) {
    if (writeStatus != TransportStatus::Ok) {
        return writeStatus;
    }
    decoder_.feed(bytes);
    while (auto event = decoder_.next()) {
        EXPECT_EQ(protocol::Decoder::Event::FrameReady, event->kind) << "library wrote a bad frame";
        written_.push_back(event->frame);
        if (onFrame) {
            onFrame(event->frame);
        }
    }
    return TransportStatus::Ok;
}

TransportStatus ScriptedTransport::read(std::string& into, Milliseconds timeout) {
    if (incoming_.empty() || incoming_.front().after > timeout) {
        clock_.advance(timeout);
        if (!incoming_.empty()) {
            incoming_.front().after -= timeout;
        }
        return TransportStatus::Timeout;
    }
    Step step = std::move(incoming_.front());
    incoming_.pop_front();
    clock_.advance(step.after);
    into += step.bytes;
    return step.status;
}

} // namespace iae17::test
