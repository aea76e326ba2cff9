#include "protocol/Frame.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace iae17::protocol {
namespace {

const FrameType AllTypes[] = {
    FrameType::Payment,
    FrameType::PaymentExt,
    FrameType::Refund,
    FrameType::Void,
    FrameType::TerminalBalance,
    FrameType::Closure,
    FrameType::Status,
    FrameType::Preauthorization,
    FrameType::PreauthorizationInt,
    FrameType::PreauthorizationClose,
    FrameType::Ack,
    FrameType::Nak,
    FrameType::Progress,
    FrameType::Answer,
};

TEST(Crc16, MatchesTheCcittFalseCheckValue) {
    EXPECT_EQ(0x29B1, crc16("123456789"));
    EXPECT_EQ(0xFFFF, crc16(""));
}

TEST(FrameType, EveryTypeHasItsOwnByte) {
    std::set<std::uint8_t> seen;
    for (FrameType type : AllTypes) {
        EXPECT_TRUE(seen.insert(static_cast<std::uint8_t>(type)).second) << typeName(type);
        EXPECT_TRUE(isKnownType(static_cast<std::uint8_t>(type)));
    }
}

TEST(FrameType, OnlyTheTenOperationsAreRequests) {
    int requests = 0;
    for (FrameType type : AllTypes) {
        requests += isRequest(type) ? 1 : 0;
    }
    EXPECT_EQ(10, requests);
    EXPECT_FALSE(isRequest(FrameType::Nak));
    EXPECT_FALSE(isKnownType(0x00));
    EXPECT_FALSE(isKnownType(0x1A));
    EXPECT_STREQ("Unknown", typeName(static_cast<FrameType>(0xFF)));
}

TEST(Encode, LaysOutHeaderPayloadEtxAndCrc) {
    const std::string wire = encode(Frame{FrameType::Progress, 0x2A, "AB"});
    const std::string body("\x20\x2A\x00\x02"
                           "AB\x03",
                           7);
    const std::uint16_t crc = crc16(body);
    std::string expected = "\x02" + body;
    expected += static_cast<char>(crc >> 8);
    expected += static_cast<char>(crc & 0xFF);
    EXPECT_EQ(expected, wire);
}

TEST(Encode, AnEmptyAckIsEightBytes) {
    const std::string wire = encode(ackFrame(7));
    ASSERT_EQ(8u, wire.size());
    EXPECT_EQ(std::string("\x02\x06\x07\x00\x00\x03", 6), wire.substr(0, 6));
}

TEST(Encode, LengthIsBigEndian) {
    const std::string wire = encode(Frame{FrameType::Answer, 1, std::string(0x0102, 'x')});
    EXPECT_EQ(0x01, wire[3]);
    EXPECT_EQ(0x02, wire[4]);
}

TEST(Encode, RefusesAPayloadAboveTheLimit) {
    EXPECT_NO_THROW(encode(Frame{FrameType::Answer, 0, std::string(MaxPayload, 'x')}));
    EXPECT_THROW(encode(Frame{FrameType::Answer, 0, std::string(MaxPayload + 1, 'x')}),
                 std::length_error);
}

TEST(RoundTrip, EveryTypeSurvivesEncodeAndDecode) {
    for (FrameType type : AllTypes) {
        // Payload bytes that look like framing must pass through untouched.
        const Frame sent{type, 0xFE, std::string("\x02\x03\x00\xFF", 4) + typeName(type)};
        Decoder decoder;
        decoder.feed(encode(sent));
        const auto event = decoder.next();
        ASSERT_TRUE(event.has_value()) << typeName(type);
        EXPECT_EQ(Decoder::Event::FrameReady, event->kind);
        EXPECT_EQ(sent.type, event->frame.type);
        EXPECT_EQ(sent.seq, event->frame.seq);
        EXPECT_EQ(sent.payload, event->frame.payload);
        EXPECT_FALSE(decoder.next().has_value());
        EXPECT_EQ(0u, decoder.pending());
    }
}

} // namespace
} // namespace iae17::protocol
