#include "FrameLink.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace iae17::test {

std::optional<protocol::Frame> FrameLink::receive(Milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        while (auto event = decoder_.next()) {
            if (event->kind == protocol::Decoder::Event::BadFrame) {
                ++badFrames_;
            } else if (event->kind == protocol::Decoder::Event::FrameReady) {
                if (protocol::isRequest(event->frame.type)) {
                    ++requests_;
                }
                return event->frame;
            }
        }
        const auto left =
            std::chrono::duration_cast<Milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd waiting{fd_, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        char buffer[4096];
        const ssize_t count = ::read(fd_, buffer, sizeof buffer);
        if (count <= 0) {
            return std::nullopt;
        }
        decoder_.feed(buffer, static_cast<std::size_t>(count));
    }
}

void FrameLink::sendBytes(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        done += static_cast<std::size_t>(count);
    }
}

void FrameLink::resetConnection() {
    linger immediate{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
}

protocol::Frame answerFrame(std::uint8_t seq, std::uint8_t result, const std::string& posData) {
    std::string image = posData;
    image.resize(protocol::PosDataSize, ' ');
    return protocol::Frame{protocol::FrameType::Answer, seq,
                           protocol::buildAnswerPayload(result, image)};
}

void serveOnce(FrameLink& link, std::uint8_t result, const std::string& posData) {
    const auto request = link.receive(Milliseconds(2000));
    if (!request || !protocol::isRequest(request->type)) {
        return;
    }
    link.send(protocol::ackFrame(request->seq));
    link.send(answerFrame(request->seq, result, posData));
    link.receive(Milliseconds(2000));
}

} // namespace iae17::test
