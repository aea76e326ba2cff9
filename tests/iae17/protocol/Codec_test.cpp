#include "protocol/Compact.h"
#include "protocol/Frame.h"
#include "protocol/Payload.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

namespace iae17::protocol {
namespace {

using Event = Decoder::Event;

// The decoder's events, a word each: F<seq> a frame, B<seq> a bad frame,
// G<count> skipped garbage, last P<count> pending; frames re-encoded into `frames`.
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
    EXPECT_EQ(0xFFFF, crc16(""));
    EXPECT_EQ(0xB915, crc16("A"));
    EXPECT_EQ(std::string("\x02\x06\x01\x00\x00\x03\x9A\x5E", 8), encode(ackFrame(1)));
    EXPECT_EQ(std::string("\x02\x07\x01\x00\x01\x01\x03\x58\x62", 9),
              encode(nakFrame(1, NakReason::BadFrame)));
    EXPECT_THROW(encode(Frame{FrameType::Answer, 0, std::string(MaxPayload + 1, 'x')}),
                 std::length_error);
}

TEST(Codec, EveryFrameTypeRoundTripsCoalescedAndByteByByte) {
    std::string wire = encode(Frame{FrameType::Answer, 0, std::string(MaxPayload, 'x')});
    std::string expected = "F0 ";
    for (int type : {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x06, 0x07, 0x20,
                     0x30, 0x40, 0x41, 0x42}) {
        ASSERT_TRUE(isKnownType(static_cast<std::uint8_t>(type)));
        // Payload bytes that look like framing must pass through untouched.
        const auto seq = static_cast<std::uint8_t>(type ^ 0xA5);
        wire += encode(Frame{static_cast<FrameType>(type), seq,
                             std::string("\x02\x03\x00\xFF", 4) + std::string(type, 'p')});
        expected += "F" + std::to_string(seq) + " ";
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

// Each field blank, NUL, text then blanks, text then NULs, or full text, by
// turns; byte values run on through the images, so every value appears in text.
std::string patternedImage(const RecordLayout& layout, int shift, int& byte) {
    std::string image;
    for (std::size_t i = 0; i < layout.count(); ++i) {
        const std::size_t width = layout.field(i).width;
        const int pattern = (static_cast<int>(i) + shift) % 5;
        std::string field(width, pattern == 1 || pattern == 3 ? '\0' : ' ');
        const std::size_t text = pattern < 2 ? 0 : pattern == 4 ? width : (width + 1) / 2;
        for (std::size_t k = 0; k < text; ++k)
            field[k] = static_cast<char>(byte++ % 256);
        if (pattern == 4)
            field.back() = 'z';
        image += field;
    }
    return image;
}

// Requests from the library, answers from the terminal compacted against the
// POSDATA the request carried.
TEST(Compaction, EveryFieldPatternAndByteValueRoundTripsInBothDirections) {
    int byte = 0;
    for (int shift = 0; shift < 5; ++shift) {
        const std::string given = patternedImage(posDataLayout(), shift + 1, byte);
        const std::string posRequest = patternedImage(posRequestLayout(), shift, byte);
        std::string posData = patternedImage(posDataLayout(), shift, byte);
        posData.replace(0, 9, given.substr(0, 9));
        const RequestId id = 0x0123456789ABCDEFull + static_cast<RequestId>(shift);
        const auto request = splitRequestPayload(buildRequestPayload(id, posRequest, posData));
        ASSERT_TRUE(request && request->id == id);
        EXPECT_TRUE(request->posRequest == posRequest && request->posData == posData) << shift;
        const std::string payload = buildAnswerPayload(id, 4, posData, given);
        const auto answer = splitAnswerPayload(payload, given);
        ASSERT_TRUE(answer && answer->id == id && answer->result == 4 && answerId(payload) == id);
        EXPECT_TRUE(answer->posData == posData) << shift;
    }
    for (const char fill : {' ', '\0', 'x'}) {
        const std::string same(PosDataSize, fill);
        EXPECT_TRUE(splitAnswerPayload(buildAnswerPayload(7, 0, same, same), same)->posData ==
                    same);
        EXPECT_TRUE(
            splitRequestPayload(buildRequestPayload(7, std::string(PosRequestSize, fill), same))
                ->posData == same);
    }
}

TEST(Compaction, ShortestAndLongestImagesCostTheirHeadsAndTexts) {
    const RecordLayout& data = posDataLayout();
    const std::string blank(PosDataSize, ' ');
    EXPECT_EQ(std::string(data.count(), '\x00'), compactImage(data, blank));
    EXPECT_EQ(std::string(data.count(), '\x40'), compactImage(data, std::string(PosDataSize, 0)));
    EXPECT_EQ(std::string(data.count(), '\x80'), compactImage(data, blank, blank));
    const std::string full(PosDataSize, 'x');
    // ContractText is not in POSDATA: only the ticket needs the long length.
    EXPECT_EQ(PosDataSize + data.count() + 2, compactImage(data, full).size());
    const std::string compacted = compactImage(data, full);
    std::string_view bytes = compacted;
    EXPECT_TRUE(full == expandImage(data, bytes));
    EXPECT_TRUE(bytes.empty());
    // A payment request as the bridge sends it, with an empty POSDATA.
    std::string request = "000001250CASSA01  0 ";
    request.resize(175, ' ');
    request.resize(PosRequestSize, '\0');
    EXPECT_EQ(IdSize + 15 + 9 + 7 + 1 + 18,
              buildRequestPayload(1, request, std::string(PosDataSize, '\0')).size());
}

// Announced lengths that do not add up, texts longer than their fields and
// heads that mean nothing are refused, never written past an image.
TEST(Compaction, PayloadsThatDoNotMakeWholeImagesAreRefused) {
    const std::string id = idPayload(42);
    const std::string blankRequest(15, '\x00');
    const std::string blankData(18, '\x00');
    const std::string good = id + blankRequest + blankData;
    ASSERT_TRUE(splitRequestPayload(good));
    std::string longAmount = good;
    longAmount[IdSize] = 10; // Amount is 9 wide
    std::string longTicket = good;
    longTicket.replace(longTicket.size() - 1, 1, "\x3F\x10\x02" + std::string(4098, 'x'));
    std::string ticketBeyondPayload = good;
    ticketBeyondPayload.replace(ticketBeyondPayload.size() - 1, 1, "\x3F\x00\x40xyz");
    const std::pair<const char*, std::string> requests[] = {
        {"empty", ""},
        {"identifier cut short", id.substr(0, 7)},
        {"identifier alone", id},
        {"fields missing", good.substr(0, good.size() - 1)},
        {"a byte left over", good + " "},
        {"text longer than its field", longAmount},
        {"ticket longer than its field", longTicket},
        {"text running past the payload", ticketBeyondPayload},
        {"head 11", id + "\xC0" + blankRequest.substr(1) + blankData},
        {"same without a reference", id + "\x80" + blankRequest.substr(1) + blankData},
        {"old-style images", std::string(4486, ' ')},
    };
    for (const auto& [name, payload] : requests) {
        EXPECT_FALSE(splitRequestPayload(payload)) << name;
    }
    const std::string given(PosDataSize, 'g');
    const std::string answer = buildAnswerPayload(42, 0, given, given);
    ASSERT_TRUE(splitAnswerPayload(answer, given));
    EXPECT_FALSE(splitAnswerPayload(answer, "")) << "same needs the POSDATA sent";
    EXPECT_FALSE(splitAnswerPayload(id + "\x00" + "\x81" + std::string(17, '\x80'), given));
    EXPECT_FALSE(splitAnswerPayload(id + "\x00", given));
    EXPECT_FALSE(splitIdPayload(id + "x"));
    EXPECT_FALSE(splitIdPayload(id.substr(1)));
    EXPECT_EQ(std::optional<RequestId>(42), splitIdPayload(id));
    EXPECT_FALSE(splitRunningPayload("short"));
    EXPECT_EQ("INSERIRE CARTA",
              splitRunningPayload(buildRunningPayload(42, "INSERIRE CARTA"))->text);
    EXPECT_EQ("000000000000002A", idText(42));
}

} // namespace
} // namespace iae17::protocol
