#pragma once

// Frames exchanged between the terminal library and a terminal, over TCP or a
// serial line alike. The codec does no I/O: bytes go into a Decoder as they
// arrive and frames come out of encode() ready to be written.
//
//   STX | type | seq | length (2, big-endian) | payload | ETX | CRC (2, big-endian)
//
// The CRC (CRC-16/CCITT-FALSE) covers type, seq, length, payload and ETX.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace iae17::protocol {

enum class FrameType : std::uint8_t {
    Payment = 0x10,
    PaymentExt = 0x11,
    Refund = 0x12,
    Void = 0x13,
    TerminalBalance = 0x14,
    Closure = 0x15,
    Status = 0x16,
    Preauthorization = 0x17,
    PreauthorizationInt = 0x18,
    PreauthorizationClose = 0x19,
    Ack = 0x06,
    // Not the ASCII NAK (0x15): that byte is already Closure's.
    Nak = 0x07,
    Progress = 0x20,
    Answer = 0x30,
    // The library's question about a request whose answer it did not get,
    // and the terminal's replies other than the ANSWER itself.
    Enquiry = 0x40,
    Unknown = 0x41,
    Running = 0x42,
};

struct Frame {
    FrameType type = FrameType::Ack;
    std::uint8_t seq = 0;
    std::string payload;
};

constexpr char Stx = 0x02;
constexpr char Etx = 0x03;
constexpr std::size_t MaxPayload = 8192;
// STX, type, seq and the two length bytes.
constexpr std::size_t HeaderSize = 5;
// ETX and the two CRC bytes.
constexpr std::size_t TrailerSize = 3;

// Why a frame was refused; the single payload byte of a NAK.
enum class NakReason : std::uint8_t { BadFrame = 1, Unexpected = 2, Busy = 3 };

// The terminal's own verdict, first byte of an ANSWER payload.
enum class TerminalResult : std::uint8_t { Done = 0, NotSupported = 4 };

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial value 0xFFFF, no reflection,
// computed a byte at a time from a table.
std::uint16_t crc16(std::string_view bytes);

// The wire image of a frame. Throws std::length_error for a payload above
// MaxPayload, which no caller of this codec ever builds.
std::string encode(const Frame& frame);

bool isRequest(FrameType type);
// True for the seventeen types of the protocol.
bool isKnownType(std::uint8_t type);
// A short English name for traces, "Unknown" for any other byte.
const char* typeName(FrameType type);

// Feeds bytes in any split (one at a time, several frames at once) and hands
// out what they make up, in order.
class Decoder {
public:
    struct Event {
        enum Kind { FrameReady, BadFrame, Garbage } kind = FrameReady;
        // FrameReady: the whole frame. BadFrame: type and seq as the header
        // read them (so the refusal can name the seq), empty payload.
        Frame frame;
        // Why a frame was bad, or how many bytes were skipped.
        std::string detail;
        // Garbage: the number of bytes skipped before the next STX.
        std::size_t skipped = 0;
    };

    void feed(const char* data, std::size_t size);
    void feed(std::string_view bytes) { feed(bytes.data(), bytes.size()); }

    // The next event, or nullopt while the bytes so far end inside a frame.
    // An unknown type byte with a good CRC is still FrameReady: whether it is
    // expected is for the caller to judge.
    std::optional<Event> next();

    // Bytes held back waiting for the rest of a frame.
    std::size_t pending() const { return buffer_.size(); }
    // How many bytes the frame begun in the buffer still lacks, as its header
    // announced it; 0 when no frame has begun or its header is not complete.
    std::size_t missing() const;
    void reset() { buffer_.clear(); }

private:
    std::string buffer_;
};

Frame ackFrame(std::uint8_t seq);
Frame nakFrame(std::uint8_t seq, NakReason reason);
// The reason of a NAK payload; nullopt unless it is exactly one known byte.
std::optional<NakReason> nakReason(std::string_view payload);

} // namespace iae17::protocol
