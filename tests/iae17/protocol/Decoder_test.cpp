#include "protocol/Frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace iae17::protocol {
namespace {

using Event = Decoder::Event;

std::vector<Event> drain(Decoder& decoder) {
    std::vector<Event> events;
    while (auto event = decoder.next()) {
        events.push_back(*event);
    }
    return events;
}

std::vector<Event> decodeAll(const std::string& bytes) {
    Decoder decoder;
    decoder.feed(bytes);
    return drain(decoder);
}

const Frame Request{FrameType::Status, 3, std::string(RequestPayloadSize, 'r')};
const Frame Progress{FrameType::Progress, 3, "INSERIRE CARTA"};
const Frame Answer{FrameType::Answer, 3, std::string(AnswerPayloadSize, 'a')};

TEST(Decoder, ByteByByteFeedYieldsEachFrameOnceComplete) {
    const std::string wire = encode(Request) + encode(Progress) + encode(Answer);
    Decoder decoder;
    std::vector<Event> events;
    for (char byte : wire) {
        decoder.feed(&byte, 1);
        for (auto& event : drain(decoder)) {
            events.push_back(event);
        }
    }
    ASSERT_EQ(3u, events.size());
    EXPECT_EQ(Request.payload, events[0].frame.payload);
    EXPECT_EQ("INSERIRE CARTA", events[1].frame.payload);
    EXPECT_EQ(FrameType::Answer, events[2].frame.type);
    EXPECT_EQ(0u, decoder.pending());
}

TEST(Decoder, SeveralFramesInOneFeedComeOutInOrder) {
    const auto events =
        decodeAll(encode(ackFrame(1)) + encode(nakFrame(2, NakReason::Busy)) + encode(Progress));
    ASSERT_EQ(3u, events.size());
    EXPECT_EQ(FrameType::Ack, events[0].frame.type);
    EXPECT_EQ(FrameType::Nak, events[1].frame.type);
    EXPECT_EQ(2, events[1].frame.seq);
    EXPECT_EQ(FrameType::Progress, events[2].frame.type);
}

TEST(Decoder, SplitAcrossFeedsAtEveryPoint) {
    const std::string wire = encode(Progress) + encode(ackFrame(9));
    for (std::size_t cut = 0; cut <= wire.size(); ++cut) {
        Decoder decoder;
        decoder.feed(wire.substr(0, cut));
        auto events = drain(decoder);
        decoder.feed(wire.substr(cut));
        for (auto& event : drain(decoder)) {
            events.push_back(event);
        }
        ASSERT_EQ(2u, events.size()) << "cut at " << cut;
        EXPECT_EQ(Progress.payload, events[0].frame.payload);
        EXPECT_EQ(9, events[1].frame.seq);
    }
}

TEST(Decoder, TruncatedFrameStaysPending) {
    const std::string wire = encode(Answer);
    Decoder decoder;
    decoder.feed(wire.substr(0, wire.size() - 1));
    EXPECT_FALSE(decoder.next().has_value());
    EXPECT_EQ(wire.size() - 1, decoder.pending());
    decoder.feed(wire.substr(wire.size() - 1));
    const auto event = decoder.next();
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(Event::FrameReady, event->kind);
}

TEST(Decoder, GarbageBetweenFramesIsCountedAndSkipped) {
    const auto events = decodeAll("xy" + encode(ackFrame(1)) + "\x03\xFFz" + encode(ackFrame(2)));
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ(Event::Garbage, events[0].kind);
    EXPECT_EQ(2u, events[0].skipped);
    EXPECT_EQ(1, events[1].frame.seq);
    EXPECT_EQ(Event::Garbage, events[2].kind);
    EXPECT_EQ(3u, events[2].skipped);
    EXPECT_EQ(2, events[3].frame.seq);
}

TEST(Decoder, GarbageWithoutStxIsSkippedAtOnce) {
    Decoder decoder;
    decoder.feed("hello");
    const auto event = decoder.next();
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(Event::Garbage, event->kind);
    EXPECT_EQ(5u, event->skipped);
    EXPECT_EQ(0u, decoder.pending());
}

// A damaged frame is reported once, with the seq its header named, and the
// frame right behind it still decodes.
struct Damage {
    const char* name;
    std::size_t offset; // from the end of the first frame's wire image
    char value;
};

class DamagedFrame : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedFrame, IsReportedAndTheNextFrameStillDecodes) {
    std::string first = encode(Frame{FrameType::Answer, 42, "payload"});
    first[first.size() - GetParam().offset] = GetParam().value;
    const auto events = decodeAll(first + encode(ackFrame(43)));

    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(Event::BadFrame, events.front().kind);
    EXPECT_EQ(42, events.front().frame.seq);
    EXPECT_EQ(FrameType::Answer, events.front().frame.type);
    int frames = 0;
    int badFrames = 0;
    for (const auto& event : events) {
        badFrames += event.kind == Event::BadFrame ? 1 : 0;
        if (event.kind == Event::FrameReady) {
            ++frames;
            EXPECT_EQ(43, event.frame.seq);
        }
    }
    EXPECT_EQ(1, badFrames);
    EXPECT_EQ(1, frames);
}

INSTANTIATE_TEST_SUITE_P(Codec, DamagedFrame,
                         ::testing::Values(Damage{"CrcLow", 1, '\x00'},
                                           Damage{"CrcHigh", 2, '\x00'},
                                           Damage{"EtxMissing", 3, 'x'},
                                           Damage{"PayloadByte", 4, '?'}),
                         [](const auto& info) { return std::string(info.param.name); });

// Each refusal of a damaged frame makes the peer send it again: an STX inside
// a frame whose content alone is damaged must not count as a second frame.
TEST(Decoder, ContentDamageInsideIntactFramingIsOneBadFrame) {
    std::string first =
        encode(Frame{FrameType::Answer, 2, std::string("a\x02\x30\x02\x00\x01z\x03", 8)});
    first[first.size() - 1] ^= 0x55; // CRC
    const auto events = decodeAll(first + encode(ackFrame(3)));
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(Event::BadFrame, events[0].kind);
    EXPECT_EQ(Event::FrameReady, events[1].kind);
    EXPECT_EQ(3, events[1].frame.seq);
}

TEST(Decoder, OversizedLengthDropsOnlyTheStx) {
    // Announces 8193 bytes: refused as soon as the header is in.
    const std::string header("\x02\x30\x05\x20\x01", 5);
    Decoder decoder;
    decoder.feed(header);
    const auto bad = decoder.next();
    ASSERT_TRUE(bad.has_value());
    EXPECT_EQ(Event::BadFrame, bad->kind);
    EXPECT_EQ(5, bad->frame.seq);

    decoder.feed(encode(ackFrame(6)));
    const auto events = drain(decoder);
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(Event::Garbage, events[0].kind);
    EXPECT_EQ(4u, events[0].skipped);
    EXPECT_EQ(6, events[1].frame.seq);
}

TEST(Decoder, MaximumLengthIsAccepted) {
    const Frame big{FrameType::Answer, 0, std::string(MaxPayload, '\x02')};
    const auto events = decodeAll(encode(big));
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(big.payload, events[0].frame.payload);
}

TEST(Decoder, UnknownTypeWithGoodCrcIsHandedOn) {
    const auto events = decodeAll(encode(Frame{static_cast<FrameType>(0x7E), 1, "?"}));
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(Event::FrameReady, events[0].kind);
    EXPECT_FALSE(isKnownType(static_cast<std::uint8_t>(events[0].frame.type)));
}

TEST(Decoder, ArbitraryBytesNeverYieldAFrameOrGrowWithoutBound) {
    // A deterministic pseudo-random stream rich in STX bytes and short lengths.
    std::string noise;
    std::uint32_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        const auto value = static_cast<char>((state >> 16) & 0xFF);
        noise += (value & 1) ? '\x02' : (value & 2) ? '\x00' : value;
    }
    Decoder decoder;
    decoder.feed(noise);
    for (const auto& event : drain(decoder)) {
        EXPECT_NE(Event::FrameReady, event.kind);
    }
    EXPECT_LE(decoder.pending(), HeaderSize + MaxPayload + TrailerSize);
}

} // namespace
} // namespace iae17::protocol
