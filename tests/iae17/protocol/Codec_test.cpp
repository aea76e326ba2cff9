#include "protocol/Frame.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

namespace iae17::protocol {
namespace {

using Event = Decoder::Event;

// What the decoder hands out for the bytes fed in pieces of the size given, one
// word each: F<seq> a frame, B<seq> a bad frame, G<count> skipped garbage, and
// last P<count> for bytes still pending. Frames decoded are encoded again into
// `frames`.
std::string decode(const std::string& bytes, std::size_t piece = std::string::npos,
                   std::string* frames = nullptr) {
    Decoder decoder;
    std::string events;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        decoder.feed(bytes.substr(at, piece));
        while (auto event = decoder.next()) {
            const bool garbage = event->kind == Event::Garbage;
            events += std::string(1, "FBG"[event->kind]) +
                      std::to_string(garbage ? event->skipped : event->frame.seq) + " ";
            if (frames != nullptr && event->kind == Event::FrameReady) {
                *frames += encode(event->frame);
            }
        }
    }
    return events + (decoder.pending() > 0 ? "P" + std::to_string(decoder.pending()) : "");
}

// The wire image with one byte, counted from the end, flipped.
std::string damaged(const Frame& frame, std::size_t fromEnd) {
    std::string wire = encode(frame);
    wire[wire.size() - fromEnd] ^= 0x55;
    return wire;
}

TEST(Codec, WireImagesAndSizeLimits) {
    EXPECT_EQ(0x29B1, crc16("123456789"));
    EXPECT_EQ(std::string("\x02\x06\x01\x00\x00\x03\x9A\x5E", 8), encode(ackFrame(1)));
    EXPECT_EQ(std::string("\x02\x07\x01\x00\x01\x01\x03\x58\x62", 9),
              encode(nakFrame(1, NakReason::BadFrame)));
    EXPECT_THROW(encode(Frame{FrameType::Answer, 0, std::string(MaxPayload + 1, 'x')}),
                 std::length_error);
    EXPECT_FALSE(splitRequestPayload(std::string(RequestPayloadSize - 1, 'x')).has_value());
    EXPECT_FALSE(splitAnswerPayload(std::string(AnswerPayloadSize + 1, 'x')).has_value());
}

TEST(Codec, EveryFrameTypeRoundTripsCoalescedAndByteByByte) {
    std::string wire = encode(Frame{FrameType::Answer, 0, std::string(MaxPayload, 'x')});
    std::string expected = "F0 ";
    for (int type :
         {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x06, 0x07, 0x20, 0x30}) {
        ASSERT_TRUE(isKnownType(static_cast<std::uint8_t>(type)));
        // Payload bytes that look like framing must pass through untouched.
        wire += encode(Frame{static_cast<FrameType>(type), static_cast<std::uint8_t>(type + 200),
                             std::string("\x02\x03\x00\xFF", 4) + std::string(type, 'p')});
        expected += "F" + std::to_string(type + 200) + " ";
    }
    for (std::size_t piece : {wire.size(), std::size_t{1}}) {
        std::string frames;
        EXPECT_EQ(expected, decode(wire, piece, &frames)) << "pieces of " << piece;
        EXPECT_EQ(wire, frames);
    }
}

// Each refusal of a damaged frame makes the peer send it again: one damaged
// frame must make one report, even when its payload holds an STX.
TEST(Codec, DamageIsReportedOnceAndATruncatedFrameWaits) {
    const Frame answer{FrameType::Answer, 42, "payload"};
    const Frame framing{FrameType::Answer, 2, std::string("a\x02\x30\x02\x00\x01z\x03", 8)};
    const std::string next = encode(ackFrame(43));
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"bad checksum", damaged(answer, 1) + next, "B42 F43 "},
        {"bad checksum, high byte", damaged(answer, 2) + next, "B42 F43 "},
        {"payload byte", damaged(answer, 4) + next, "B42 F43 "},
        {"payload like framing", damaged(framing, 1) + next, "B2 F43 "},
        {"no ETX where the length says", damaged(answer, 3) + next, "B42 G14 F43 "},
        {"length above 8192", std::string("\x02\x30\x05\x20\x01", 5) + next, "B5 G4 F43 "},
        {"garbage between frames", "xy" + next + "\x03\xFFz" + next, "G2 F43 G3 F43 "},
        {"garbage alone", "hello", "G5 "},
        {"frame cut short", next.substr(0, 7), "P7"},
        {"frame cut short after garbage", "xy" + next.substr(0, 1), "G2 P1"},
    };
    for (const auto& [name, bytes, events] : cases) {
        EXPECT_EQ(events, decode(bytes)) << name;
    }
}

TEST(Codec, ArbitraryBytesNeverYieldAFrameOrGrowWithoutBound) {
    std::string noise; // rich in STX bytes and short lengths
    for (std::uint32_t i = 0, state = 12345; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        const auto value = static_cast<char>((state >> 16) & 0xFF);
        noise += (value & 1) ? '\x02' : (value & 2) ? '\x00' : value;
    }
    Decoder decoder;
    decoder.feed(noise);
    while (auto event = decoder.next()) {
        EXPECT_NE(Event::FrameReady, event->kind);
    }
    EXPECT_LE(decoder.pending(), HeaderSize + MaxPayload + TrailerSize);
}

} // namespace
} // namespace iae17::protocol
