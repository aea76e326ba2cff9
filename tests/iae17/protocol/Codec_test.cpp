#include "protocol/Frame.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace iae17::protocol {
namespace {

using Event = Decoder::Event;

// What the decoder hands out for the pieces fed one after another, one word
// each: F<seq> a frame, B<seq> a bad frame, G<count> skipped garbage.
std::string decode(const std::vector<std::string>& pieces, std::vector<Frame>* frames = nullptr) {
    Decoder decoder;
    std::string events;
    for (const std::string& piece : pieces) {
        decoder.feed(piece);
        while (auto event = decoder.next()) {
            const bool garbage = event->kind == Event::Garbage;
            events += std::string(1, "FBG"[event->kind]) +
                      std::to_string(garbage ? event->skipped : event->frame.seq) + " ";
            if (frames != nullptr && event->kind == Event::FrameReady) {
                frames->push_back(event->frame);
            }
        }
    }
    EXPECT_EQ(0u, decoder.pending());
    return events;
}

std::string damaged(const Frame& frame, std::size_t fromEnd, char value) {
    std::string wire = encode(frame);
    wire[wire.size() - fromEnd] = value;
    return wire;
}

TEST(Codec, WireImageOfAnAckAndANak) {
    EXPECT_EQ(0x29B1, crc16("123456789"));
    EXPECT_EQ(std::string("\x02\x06\x01\x00\x00\x03\x9A\x5E", 8), encode(ackFrame(1)));
    EXPECT_EQ(std::string("\x02\x07\x01\x00\x01\x01\x03\x58\x62", 9),
              encode(nakFrame(1, NakReason::BadFrame)));
}

TEST(Codec, EveryFrameTypeRoundTripsCoalescedAndByteByByte) {
    std::vector<Frame> sent;
    std::string wire;
    std::string expected;
    for (int type :
         {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x06, 0x07, 0x20, 0x30}) {
        ASSERT_TRUE(isKnownType(static_cast<std::uint8_t>(type)));
        // Payload bytes that look like framing must pass through untouched.
        sent.push_back(Frame{static_cast<FrameType>(type), static_cast<std::uint8_t>(type + 200),
                             std::string("\x02\x03\x00\xFF", 4) + std::string(type, 'p')});
        wire += encode(sent.back());
        expected += "F" + std::to_string(type + 200) + " ";
    }
    std::vector<std::string> bytes;
    for (char byte : wire) {
        bytes.emplace_back(1, byte);
    }
    for (const auto& pieces : {std::vector<std::string>{wire}, bytes}) {
        std::vector<Frame> frames;
        ASSERT_EQ(expected, decode(pieces, &frames));
        for (std::size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(sent[i].type, frames[i].type);
            EXPECT_EQ(sent[i].payload, frames[i].payload);
        }
    }
}

TEST(Codec, TruncatedFrameStaysPending) {
    const std::string wire =
        encode(Frame{FrameType::Answer, 3, std::string(AnswerPayloadSize, 'a')});
    Decoder decoder;
    decoder.feed(wire.substr(0, wire.size() - 1));
    EXPECT_FALSE(decoder.next().has_value());
    EXPECT_EQ(wire.size() - 1, decoder.pending());
    EXPECT_EQ("F3 ", decode({wire.substr(0, wire.size() - 1), wire.substr(wire.size() - 1)}));
}

TEST(Codec, DamageIsReportedOnceAndTheNextFrameStillDecodes) {
    const Frame answer{FrameType::Answer, 42, "payload"};
    const std::string next = encode(ackFrame(43));
    struct Case {
        const char* name;
        std::string bytes;
        const char* events;
    } cases[] = {
        {"bad checksum", damaged(answer, 1, '\0') + next, "B42 F43 "},
        {"bad checksum, high byte", damaged(answer, 2, '\0') + next, "B42 F43 "},
        {"payload byte", damaged(answer, 4, '?') + next, "B42 F43 "},
        {"no ETX where the length says", damaged(answer, 3, 'x') + next, "B42 G14 F43 "},
        {"length above 8192", std::string("\x02\x30\x05\x20\x01", 5) + next, "B5 G4 F43 "},
        {"garbage between frames", "xy" + next + "\x03\xFFz" + next, "G2 F43 G3 F43 "},
        {"garbage alone", "hello", "G5 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.events, decode({c.bytes})) << c.name;
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

// Each refusal of a damaged frame makes the peer send it again: an STX inside
// a frame whose content alone is damaged must not count as a second frame.
TEST(Codec, ContentDamageInsideIntactFramingIsOneBadFrame) {
    std::string first =
        encode(Frame{FrameType::Answer, 2, std::string("a\x02\x30\x02\x00\x01z\x03", 8)});
    first[first.size() - 1] ^= 0x55; // CRC
    EXPECT_EQ("B2 F3 ", decode({first + encode(ackFrame(3))}));
}

TEST(Codec, PayloadLimitAndImageSizes) {
    EXPECT_EQ("F0 ", decode({encode(Frame{FrameType::Answer, 0, std::string(MaxPayload, 'x')})}));
    EXPECT_THROW(encode(Frame{FrameType::Answer, 0, std::string(MaxPayload + 1, 'x')}),
                 std::length_error);
    const std::string posData(PosDataSize, 'd');
    const auto request = splitRequestPayload(buildRequestPayload(std::string(219, 'q'), posData));
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(posData, request->posData);
    const auto answer = splitAnswerPayload(buildAnswerPayload(4, posData));
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(4, answer->result);
    EXPECT_FALSE(splitRequestPayload(std::string(RequestPayloadSize - 1, 'x')).has_value());
    EXPECT_FALSE(splitAnswerPayload(std::string(AnswerPayloadSize + 1, 'x')).has_value());
}

} // namespace
} // namespace iae17::protocol
