#pragma once

#include "library/Clock.h"
#include "protocol/Frame.h"

#include <atomic>
#include <optional>
#include <string>

namespace iae17::test {

// The terminal's end of a connection in the tests that run the real library:
// frames over a socket or a pseudo-terminal master, read with poll().
class FrameLink {
public:
    FrameLink(int fd, std::atomic<int>& requests) : fd_(fd), requests_(requests) {}

    // The next good frame; nullopt when none came in time or the other side
    // is gone. Requests are counted as they arrive.
    std::optional<protocol::Frame> receive(Milliseconds timeout);
    void send(const protocol::Frame& frame) { sendBytes(protocol::encode(frame)); }
    void sendBytes(const std::string& bytes);

    int badFrames() const { return badFrames_; }
    // Makes the socket end with a reset when it is closed, as a terminal
    // switched off would.
    void resetConnection();

private:
    int fd_;
    std::atomic<int>& requests_;
    protocol::Decoder decoder_;
    int badFrames_ = 0;
};

// The answer of a terminal that did the operation: result byte and a
// POSDATA image starting with the text given.
protocol::Frame answerFrame(std::uint8_t seq, std::uint8_t result, const std::string& posData);

// A terminal that does what it is asked: ACK, ANSWER, then waits for the ACK.
void serveOnce(FrameLink& link, std::uint8_t result = 0, const std::string& posData = "OK");

} // namespace iae17::test
