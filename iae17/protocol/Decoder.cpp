#include "protocol/Frame.h"

#include <algorithm>

namespace iae17::protocol {

namespace {

std::uint8_t byteAt(const std::string& bytes, std::size_t index) {
    return static_cast<std::uint8_t>(bytes[index]);
}

} // namespace

void Decoder::feed(const char* data, std::size_t size) {
    if (data != nullptr && size > 0) {
        buffer_.append(data, size);
    }
}

std::size_t Decoder::missing() const {
    if (buffer_.size() < HeaderSize || buffer_[0] != Stx) {
        return 0;
    }
    const std::size_t length =
        static_cast<std::size_t>(byteAt(buffer_, 3)) << 8 | byteAt(buffer_, 4);
    const std::size_t total = HeaderSize + std::min(length, MaxPayload) + TrailerSize;
    return total > buffer_.size() ? total - buffer_.size() : 0;
}

std::optional<Decoder::Event> Decoder::next() {
    if (buffer_.empty()) {
        return std::nullopt;
    }
    if (buffer_[0] != Stx) {
        // Everything up to the next STX can never belong to a frame.
        const std::size_t stx = buffer_.find(Stx);
        const std::size_t count = stx == std::string::npos ? buffer_.size() : stx;
        buffer_.erase(0, count);
        Event event;
        event.kind = Event::Garbage;
        event.skipped = count;
        event.detail = std::to_string(count) + " bytes skipped before STX";
        return event;
    }
    if (buffer_.size() < HeaderSize) {
        return std::nullopt;
    }

    Event bad;
    bad.kind = Event::BadFrame;
    bad.frame.type = static_cast<FrameType>(byteAt(buffer_, 1));
    bad.frame.seq = byteAt(buffer_, 2);
    const std::size_t length =
        static_cast<std::size_t>(byteAt(buffer_, 3)) << 8 | byteAt(buffer_, 4);
    // A bad frame only costs its STX: the next frame may start inside it.
    if (length > MaxPayload) {
        buffer_.erase(0, 1);
        bad.detail = "length " + std::to_string(length) + " above 8192";
        return bad;
    }
    const std::size_t total = HeaderSize + length + TrailerSize;
    if (buffer_.size() < total) {
        return std::nullopt;
    }
    const std::size_t etx = HeaderSize + length;
    if (buffer_[etx] != Etx) {
        buffer_.erase(0, 1);
        bad.detail = "no ETX after " + std::to_string(length) + " payload bytes";
        return bad;
    }
    const std::uint16_t expected = crc16(std::string_view(buffer_).substr(1, etx));
    const std::uint16_t received =
        static_cast<std::uint16_t>(byteAt(buffer_, etx + 1) << 8 | byteAt(buffer_, etx + 2));
    if (expected != received) {
        // The framing held (ETX where the length says): only the content is
        // damaged, so the whole frame goes. Rescanning inside it would read
        // any STX byte of its payload as another bad frame, and the peer
        // would be refused twice for one frame.
        buffer_.erase(0, total);
        bad.detail = "bad CRC";
        return bad;
    }

    Event ready;
    ready.kind = Event::FrameReady;
    ready.frame.type = bad.frame.type;
    ready.frame.seq = bad.frame.seq;
    ready.frame.payload = buffer_.substr(HeaderSize, length);
    buffer_.erase(0, total);
    return ready;
}

} // namespace iae17::protocol
