#include "TerminalEndpoint.h"

#include "FieldText.h"

#include <gtest/gtest.h>
#include <random>

namespace sim {
namespace {

using iae17::protocol::Decoder;
using iae17::protocol::Frame;
using iae17::protocol::FrameType;
using namespace std::chrono_literals;

const SteadyTime T0{};

class RecordingLog : public ExchangeLog {
public:
    void record(const ExchangeRecord& record) override { records.push_back(record); }
    std::vector<ExchangeRecord> records;
};

template <class Record> std::string imageOf(Record record) {
    const auto image = kvl::packImage(record);
    return std::string(image.data(), image.size());
}

std::string requestPayload(const std::string& amount, const kvl::POSDATA& given = {}) {
    kvl::PosRequest request;
    request.Amount.store(amount);
    return iae17::protocol::buildRequestPayload(imageOf(request), imageOf(given));
}

std::string requestFrame(FrameType type, std::uint8_t seq, const std::string& amount = "1000") {
    return iae17::protocol::encode(Frame{type, seq, requestPayload(amount)});
}

struct Decoded {
    std::vector<Frame> frames;
    int badFrames = 0;
    std::size_t garbage = 0;
};

Decoded decode(const std::string& bytes) {
    Decoder decoder;
    decoder.feed(bytes);
    Decoded decoded;
    while (auto event = decoder.next()) {
        if (event->kind == Decoder::Event::FrameReady)
            decoded.frames.push_back(event->frame);
        else if (event->kind == Decoder::Event::BadFrame)
            ++decoded.badFrames;
        else
            decoded.garbage += event->skipped;
    }
    EXPECT_EQ(decoder.pending(), 0u);
    return decoded;
}

std::vector<FrameType> typesOf(const Decoded& decoded) {
    std::vector<FrameType> types;
    for (const Frame& frame : decoded.frames)
        types.push_back(frame.type);
    return types;
}

std::string transactionType(const Frame& answer) {
    const auto split = iae17::protocol::splitAnswerPayload(answer.payload);
    EXPECT_TRUE(split);
    return split ? split->posData.substr(21, 4) : std::string();
}

class TerminalEndpointTest : public ::testing::Test {
protected:
    void useScenario(const std::string& text) {
        const ScenarioReading reading = readScenario(text);
        ASSERT_TRUE(reading.errors.empty()) << reading.errors.front();
        plan = FaultPlan({}, reading.scenario);
    }

    Decoded exchange(const std::string& bytes, SteadyTime now = T0) {
        endpoint.received(bytes, now);
        return decode(endpoint.takeOutput());
    }

    Decoded later(SteadyTime now) {
        endpoint.advance(now);
        return decode(endpoint.takeOutput());
    }

    const ExchangeRecord& lastRecord() {
        EXPECT_FALSE(log.records.empty());
        return log.records.back();
    }

    Terminal terminal;
    FaultPlan plan;
    RecordingLog log;
    TerminalEndpoint endpoint{terminal, plan, log, EndpointSettings{},
                              [] { return LocalTime{2024, 5, 17, 9, 0, 0, 0}; }};
};

TEST_F(TerminalEndpointTest, RequestIsAcknowledgedAndAnswered) {
    const Decoded out = exchange(requestFrame(FrameType::Payment, 7, "2500"));
    ASSERT_EQ(typesOf(out), (std::vector<FrameType>{FrameType::Ack, FrameType::Answer}));
    EXPECT_EQ(out.frames[0].seq, 7);
    EXPECT_EQ(out.frames[1].seq, 7);
    const auto answer = iae17::protocol::splitAnswerPayload(out.frames[1].payload);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->result, 0);
    EXPECT_EQ(answer->posData.substr(21, 7), "PAG 00 ");
    EXPECT_TRUE(log.records.empty()); // the exchange ends with the answer's ACK

    exchange(iae17::protocol::encode(iae17::protocol::ackFrame(7)));
    const ExchangeRecord& record = lastRecord();
    EXPECT_EQ(record.operation, "Payment");
    EXPECT_EQ(record.seq, 7);
    EXPECT_EQ(record.amount, "2500");
    EXPECT_EQ(record.stan, "0000001");
    EXPECT_EQ(record.result, "00");
    EXPECT_EQ(record.fault, "none");
    EXPECT_EQ(record.end, "acked");
    EXPECT_FALSE(endpoint.deadline());
}

TEST_F(TerminalEndpointTest, BytesArrivingOneByOneMakeTheSameExchange) {
    const std::string frame = requestFrame(FrameType::Status, 1);
    std::string output;
    for (const char byte : frame) {
        endpoint.received(std::string_view(&byte, 1), T0);
        output += endpoint.takeOutput();
    }
    EXPECT_EQ(typesOf(decode(output)), (std::vector<FrameType>{FrameType::Ack, FrameType::Answer}));
}

TEST_F(TerminalEndpointTest, ProgressFramesAreSpreadOverTheDelay) {
    useScenario("any delay=1000 progress=3");
    EXPECT_EQ(typesOf(exchange(requestFrame(FrameType::Payment, 1))),
              std::vector<FrameType>{FrameType::Ack});
    EXPECT_EQ(endpoint.deadline(), T0 + 250ms);
    EXPECT_TRUE(later(T0 + 249ms).frames.empty());

    const Decoded first = later(T0 + 250ms);
    ASSERT_EQ(typesOf(first), std::vector<FrameType>{FrameType::Progress});
    EXPECT_EQ(first.frames[0].payload, "INSERIRE CARTA");
    EXPECT_EQ(endpoint.deadline(), T0 + 500ms);

    EXPECT_EQ(
        typesOf(later(T0 + 1000ms)),
        (std::vector<FrameType>{FrameType::Progress, FrameType::Progress, FrameType::Answer}));
}

TEST_F(TerminalEndpointTest, MalformedFramesAreRefusedWithTheirReason) {
    std::string badCrc = requestFrame(FrameType::Payment, 4);
    badCrc.back() = static_cast<char>(badCrc.back() ^ 1);
    const std::string shortRequest =
        iae17::protocol::encode(Frame{FrameType::Refund, 5, std::string(100, ' ')});
    const std::string answerFromPeer =
        iae17::protocol::encode(Frame{FrameType::Answer, 6, std::string(4268, ' ')});
    const std::string unknownType =
        iae17::protocol::encode(Frame{static_cast<FrameType>(0x55), 8, ""});

    struct Case {
        std::string bytes;
        int seq;
        int reason;
    };
    for (const Case& c : {Case{badCrc, 4, 1}, Case{shortRequest, 5, 2}, Case{answerFromPeer, 6, 2},
                          Case{unknownType, 8, 2}, Case{"hello", 0, 1}}) {
        const Decoded out = exchange(c.bytes);
        ASSERT_EQ(typesOf(out), std::vector<FrameType>{FrameType::Nak}) << c.seq;
        EXPECT_EQ(out.frames[0].seq, c.seq);
        EXPECT_EQ(out.frames[0].payload, std::string(1, static_cast<char>(c.reason)));
    }
    EXPECT_TRUE(terminal.journal().empty());
}

TEST_F(TerminalEndpointTest, AnswerWithBadChecksumIsSentAgainWhenRefused) {
    useScenario("payment#1 badcrc=2");
    Decoded out = exchange(requestFrame(FrameType::Payment, 9));
    EXPECT_EQ(typesOf(out), std::vector<FrameType>{FrameType::Ack});
    EXPECT_EQ(out.badFrames, 1);
    const std::string nak =
        iae17::protocol::encode(iae17::protocol::nakFrame(9, iae17::protocol::NakReason::BadFrame));
    EXPECT_EQ(exchange(nak).badFrames, 1);
    out = exchange(nak);
    ASSERT_EQ(typesOf(out), std::vector<FrameType>{FrameType::Answer});
    exchange(iae17::protocol::encode(iae17::protocol::ackFrame(9)));
    EXPECT_EQ(lastRecord().end, "acked");
    EXPECT_EQ(lastRecord().fault, "badcrc=2");
    EXPECT_EQ(terminal.journal().size(), 1u);
}

TEST_F(TerminalEndpointTest, AnswerIsSentAtMostThreeTimes) {
    useScenario("status badcrc=5");
    exchange(requestFrame(FrameType::Status, 5));
    const std::string nak =
        iae17::protocol::encode(iae17::protocol::nakFrame(5, iae17::protocol::NakReason::BadFrame));
    EXPECT_EQ(exchange(nak).badFrames, 1);
    EXPECT_EQ(exchange(nak).badFrames, 1);
    EXPECT_EQ(exchange(nak).badFrames, 0);
    EXPECT_EQ(lastRecord().end, "answer-refused");
}

TEST_F(TerminalEndpointTest, UnacknowledgedAnswerIsResentAfterTheAckTimeout) {
    EXPECT_EQ(exchange(requestFrame(FrameType::Closure, 3)).frames.size(), 2u);
    EXPECT_EQ(endpoint.deadline(), T0 + 2000ms);
    EXPECT_TRUE(later(T0 + 1999ms).frames.empty());
    EXPECT_EQ(typesOf(later(T0 + 2000ms)), std::vector<FrameType>{FrameType::Answer});
    EXPECT_EQ(typesOf(later(T0 + 4000ms)), std::vector<FrameType>{FrameType::Answer});
    EXPECT_TRUE(later(T0 + 6000ms).frames.empty());
    EXPECT_EQ(lastRecord().end, "not-acked");
    EXPECT_FALSE(endpoint.deadline());
}

TEST_F(TerminalEndpointTest, FirstRequestFrameRefusedThenTheResendIsServedOnce) {
    useScenario("payment#1 nak\npayment#2 unsupported");
    const Decoded refused = exchange(requestFrame(FrameType::Payment, 1));
    ASSERT_EQ(typesOf(refused), std::vector<FrameType>{FrameType::Nak});
    EXPECT_EQ(refused.frames[0].payload, "\x03");

    const Decoded served = exchange(requestFrame(FrameType::Payment, 1));
    ASSERT_EQ(typesOf(served), (std::vector<FrameType>{FrameType::Ack, FrameType::Answer}));
    // The resend is the same call, not the second payment.
    EXPECT_EQ(iae17::protocol::splitAnswerPayload(served.frames[1].payload)->result, 0);
    EXPECT_EQ(terminal.journal().size(), 1u);
}

TEST_F(TerminalEndpointTest, GarbageInsteadOfTheAckThenANormalAck) {
    useScenario("any#1 garbage=ack");
    const Decoded first = exchange(requestFrame(FrameType::Payment, 1));
    EXPECT_TRUE(first.frames.empty());
    EXPECT_EQ(first.garbage, garbageBytes().size());
    EXPECT_EQ(typesOf(exchange(requestFrame(FrameType::Payment, 1))),
              (std::vector<FrameType>{FrameType::Ack, FrameType::Answer}));
}

TEST_F(TerminalEndpointTest, RepeatedRequestIsAcknowledgedButRunOnce) {
    useScenario("payment delay=500");
    exchange(requestFrame(FrameType::Payment, 11));
    EXPECT_EQ(typesOf(exchange(requestFrame(FrameType::Payment, 11), T0 + 100ms)),
              std::vector<FrameType>{FrameType::Ack});
    const Decoded answered = later(T0 + 500ms);
    ASSERT_EQ(typesOf(answered), std::vector<FrameType>{FrameType::Answer});
    exchange(iae17::protocol::encode(iae17::protocol::ackFrame(11)), T0 + 600ms);

    // Once the exchange is over, a repeat gets the same answer again.
    const Decoded replayed = exchange(requestFrame(FrameType::Payment, 11), T0 + 700ms);
    ASSERT_EQ(typesOf(replayed), (std::vector<FrameType>{FrameType::Ack, FrameType::Answer}));
    EXPECT_EQ(replayed.frames[1].payload, answered.frames[0].payload);
    EXPECT_EQ(terminal.journal().size(), 1u);
    exchange(iae17::protocol::encode(iae17::protocol::ackFrame(11)), T0 + 800ms);
    EXPECT_EQ(lastRecord().result, "repeat");
}

TEST_F(TerminalEndpointTest, SameSeqWithAnotherRequestIsANewCall) {
    exchange(requestFrame(FrameType::Payment, 11, "100"));
    exchange(iae17::protocol::encode(iae17::protocol::ackFrame(11)));
    const Decoded out = exchange(requestFrame(FrameType::Payment, 11, "200"));
    EXPECT_EQ(out.frames.size(), 2u);
    EXPECT_EQ(terminal.journal().size(), 2u);
}

TEST_F(TerminalEndpointTest, AnotherRequestWhileAnsweringIsRefusedAsBusy) {
    useScenario("payment delay=500");
    exchange(requestFrame(FrameType::Payment, 1));
    const Decoded out = exchange(requestFrame(FrameType::Status, 2), T0 + 10ms);
    ASSERT_EQ(typesOf(out), std::vector<FrameType>{FrameType::Nak});
    EXPECT_EQ(out.frames[0].seq, 2);
    EXPECT_EQ(out.frames[0].payload, "\x03");
    EXPECT_EQ(typesOf(later(T0 + 500ms)), std::vector<FrameType>{FrameType::Answer});
}

TEST_F(TerminalEndpointTest, NewRequestWhileTheAnswerAwaitsItsAckIsServed) {
    exchange(requestFrame(FrameType::Status, 1));
    const Decoded out = exchange(requestFrame(FrameType::Payment, 2), T0 + 10ms);
    EXPECT_EQ(typesOf(out), (std::vector<FrameType>{FrameType::Ack, FrameType::Answer}));
    EXPECT_EQ(log.records.front().operation, "Status");
    EXPECT_EQ(log.records.front().end, "superseded");
    // The old answer is not sent again.
    EXPECT_EQ(endpoint.deadline(), T0 + 10ms + 2000ms);
}

struct DropCase {
    std::string rule;
    std::vector<FrameType> sent;
    std::size_t journal;
    std::string end;
};

class DropTest : public TerminalEndpointTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropTest, ConnectionIsDroppedAtThePointNamed) {
    useScenario("any " + GetParam().rule);
    EXPECT_EQ(typesOf(exchange(requestFrame(FrameType::Payment, 1))), GetParam().sent);
    EXPECT_TRUE(endpoint.closeRequested());
    EXPECT_EQ(terminal.journal().size(), GetParam().journal);
    EXPECT_EQ(lastRecord().end, GetParam().end);
    // Nothing more happens on a connection being dropped.
    EXPECT_TRUE(exchange(requestFrame(FrameType::Payment, 2)).frames.empty());
    EXPECT_FALSE(endpoint.deadline());
}

INSTANTIATE_TEST_SUITE_P(
    Points, DropTest,
    ::testing::Values(DropCase{"drop=before-ack", {}, 0, "dropped-before-ack"},
                      DropCase{"drop=after-ack", {FrameType::Ack}, 1, "dropped-after-ack"},
                      DropCase{"drop=after-answer",
                               {FrameType::Ack, FrameType::Answer},
                               1,
                               "dropped-after-answer"}));

TEST_F(TerminalEndpointTest, TimeoutSendsProgressButNoAnswer) {
    useScenario("status timeout progress=2 delay=100");
    exchange(requestFrame(FrameType::Status, 1));
    EXPECT_EQ(typesOf(later(T0 + 100ms)),
              (std::vector<FrameType>{FrameType::Progress, FrameType::Progress}));
    EXPECT_EQ(lastRecord().end, "no-answer");
    EXPECT_FALSE(endpoint.deadline());
}

TEST_F(TerminalEndpointTest, GarbageInsteadOfTheAnswer) {
    useScenario("any garbage");
    const Decoded out = exchange(requestFrame(FrameType::Payment, 1));
    EXPECT_EQ(typesOf(out), std::vector<FrameType>{FrameType::Ack});
    EXPECT_EQ(out.garbage, garbageBytes().size());
    EXPECT_EQ(lastRecord().end, "garbage-answer");
}

TEST_F(TerminalEndpointTest, UnsupportedOperationReturnsTheRecordUntouched) {
    plan.setUnsupported(Operation::Closure);
    kvl::POSDATA given;
    given.TerminalId.store("OLD");
    const std::string frame =
        iae17::protocol::encode(Frame{FrameType::Closure, 1, requestPayload("", given)});
    const Decoded out = exchange(frame);
    ASSERT_EQ(out.frames.size(), 2u);
    const auto answer = iae17::protocol::splitAnswerPayload(out.frames[1].payload);
    EXPECT_EQ(answer->result, 4);
    EXPECT_EQ(answer->posData, imageOf(given));
    EXPECT_EQ(transactionType(out.frames[1]), std::string(4, '\0'));
}

TEST_F(TerminalEndpointTest, PeerLeavingMidExchangeEndsIt) {
    useScenario("any delay=1000");
    exchange(requestFrame(FrameType::Refund, 1, "300"));
    endpoint.disconnected();
    EXPECT_EQ(lastRecord().end, "closed-by-peer");
    EXPECT_EQ(lastRecord().operation, "Refund");
    EXPECT_EQ(lastRecord().amount, "300");
    EXPECT_FALSE(endpoint.deadline());
}

TEST_F(TerminalEndpointTest, RandomBytesInRandomSplitsOnlyEverGetWellFormedFrames) {
    std::mt19937 random(20240517);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> size(1, 700);
    std::string output;
    for (int round = 0; round < 400; ++round) {
        std::string chunk(static_cast<std::size_t>(size(random)), '\0');
        for (char& c : chunk)
            c = static_cast<char>(byte(random));
        // Now and then a real request among the noise.
        if (round % 50 == 0)
            chunk += requestFrame(FrameType::Payment, static_cast<std::uint8_t>(round), "100");
        endpoint.received(chunk, T0 + std::chrono::milliseconds(round * 10));
        output += endpoint.takeOutput();
    }
    const Decoded out = decode(output);
    EXPECT_EQ(out.badFrames, 0);
    EXPECT_EQ(out.garbage, 0u);
    EXPECT_FALSE(out.frames.empty());
}

} // namespace
} // namespace sim
