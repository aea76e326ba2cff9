#include "protocol/Frame.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace iae17::protocol {
namespace {

TEST(RequestPayload, BuildAndSplitRoundTrip) {
    const std::string posRequest(PosRequestSize, 'q');
    std::string posData(PosDataSize, '\0');
    posData.back() = 'z';
    const std::string payload = buildRequestPayload(posRequest, posData);
    EXPECT_EQ(RequestPayloadSize, payload.size());
    const auto split = splitRequestPayload(payload);
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(posRequest, split->posRequest);
    EXPECT_EQ(posData, split->posData);
}

TEST(RequestPayload, WrongSizesAreRefused) {
    EXPECT_FALSE(splitRequestPayload(std::string(RequestPayloadSize - 1, 'x')).has_value());
    EXPECT_FALSE(splitRequestPayload(std::string(RequestPayloadSize + 1, 'x')).has_value());
    EXPECT_THROW(buildRequestPayload(std::string(218, 'x'), std::string(PosDataSize, 'x')),
                 std::invalid_argument);
}

TEST(AnswerPayload, BuildAndSplitRoundTrip) {
    const std::string posData(PosDataSize, 'd');
    const auto split = splitAnswerPayload(buildAnswerPayload(4, posData));
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(4, split->result);
    EXPECT_EQ(posData, split->posData);
}

TEST(AnswerPayload, WrongSizesAreRefused) {
    EXPECT_FALSE(splitAnswerPayload("").has_value());
    EXPECT_FALSE(splitAnswerPayload(std::string(PosDataSize, 'x')).has_value());
    EXPECT_FALSE(splitAnswerPayload(std::string(AnswerPayloadSize + 1, 'x')).has_value());
    EXPECT_THROW(buildAnswerPayload(0, "short"), std::invalid_argument);
}

TEST(Nak, CarriesOneKnownReasonByte) {
    const Frame nak = nakFrame(9, NakReason::Unexpected);
    EXPECT_EQ(FrameType::Nak, nak.type);
    EXPECT_EQ(9, nak.seq);
    EXPECT_EQ(NakReason::Unexpected, nakReason(nak.payload));
    EXPECT_FALSE(nakReason("").has_value());
    EXPECT_FALSE(nakReason(std::string(1, '\0')).has_value());
    EXPECT_FALSE(nakReason(std::string(1, '\x04')).has_value());
    EXPECT_FALSE(nakReason("\x01\x01").has_value());
}

} // namespace
} // namespace iae17::protocol
