#include "library/Exchange.h"

#include "ScriptedTransport.h"

#include <gtest/gtest.h>

namespace iae17 {
namespace {

using namespace std::chrono_literals;
using protocol::Frame;
using protocol::FrameType;
using test::FakeClock;
using test::ScriptedTransport;

constexpr std::uint8_t Seq = 41;
const ExchangeTimeouts Timeouts{Milliseconds(300), Milliseconds(1000)};

std::string image(char fill) {
    return std::string(protocol::PosDataSize, fill);
}

Frame answer(std::uint8_t result, char fill = 'A', std::uint8_t seq = Seq) {
    return Frame{FrameType::Answer, seq, protocol::buildAnswerPayload(result, image(fill))};
}

Frame progress(std::uint8_t seq = Seq) {
    return Frame{FrameType::Progress, seq, "ATTENDERE"};
}

std::string damaged(const Frame& frame) {
    std::string wire = protocol::encode(frame);
    wire.back() = static_cast<char>(wire.back() ^ 0x5A);
    return wire;
}

bool isRequestFrame(const Frame& frame) {
    return protocol::isRequest(frame.type);
}

// The exchange with a terminal behaving as each case scripts.
struct Case {
    const char* name;
    std::function<void(ScriptedTransport&)> terminal;
    short result;
    int requestsSent;
    char posDataAfter; // 'p' when the caller's image must be left alone
};

// A terminal that ACKs every request and then does what `then` says, once.
std::function<void(ScriptedTransport&)> acking(std::function<void(ScriptedTransport&)> then) {
    return [then](ScriptedTransport& link) {
        link.onFrame = [&link, then, done = false](const Frame& frame) mutable {
            if (isRequestFrame(frame)) {
                link.send(protocol::ackFrame(frame.seq), 5ms);
                if (!done) {
                    done = true;
                    then(link);
                }
            }
        };
    };
}

const Case Cases[] = {
    {"AnswerDone", acking([](auto& l) { l.send(answer(0), 50ms); }), Result::Ok, 1, 'A'},
    {"UnknownTerminalResult", acking([](auto& l) { l.send(answer(7), 50ms); }),
     Result::ProtocolError, 1, 'p'},
    {"AnswerPayloadTooShort", acking([](auto& l) {
         l.send(Frame{FrameType::Answer, Seq, std::string(100, '\0')});
     }),
     Result::ProtocolError, 1, 'p'},
    {"NakEveryTime",
     [](ScriptedTransport& l) {
         l.onFrame = [&l](const Frame& f) {
             l.send(protocol::nakFrame(f.seq, protocol::NakReason::Busy));
         };
     },
     Result::ProtocolError, 3, 'p'},
    {"AckLostThenResendAcked",
     [](ScriptedTransport& l) {
         l.onFrame = [&l, count = 0](const Frame& f) mutable {
             if (isRequestFrame(f) && ++count == 2) {
                 l.send(protocol::ackFrame(f.seq));
                 l.send(answer(0), 20ms);
             }
         };
     },
     Result::Ok, 2, 'A'},
    {"ClosedBeforeAck", [](ScriptedTransport& l) { l.onFrame = [&l](auto&) { l.close(); }; },
     Result::ComError, 1, 'p'},
    {"AnswerInPlaceOfLostAck",
     [](ScriptedTransport& l) {
         l.onFrame = [&l](const Frame& f) {
             if (isRequestFrame(f)) {
                 l.send(answer(0), 30ms);
             }
         };
     },
     Result::Ok, 1, 'A'},
    {"TerminalSendsARequest", acking([](auto& l) {
         l.send(Frame{FrameType::Payment, Seq, std::string(protocol::RequestPayloadSize, ' ')});
     }),
     Result::ProtocolError, 1, 'p'},
    {"UnknownFrameType", acking([](auto& l) {
         l.send(Frame{static_cast<FrameType>(0x7F), Seq, ""});
     }),
     Result::ProtocolError, 1, 'p'},
    {"StaleFramesAndDuplicateAckIgnored", acking([](auto& l) {
         l.send(answer(0, 'S', Seq - 1));
         l.send(protocol::ackFrame(Seq));
         l.send(progress(Seq + 1));
         l.send(answer(0, 'A'), 20ms);
     }),
     Result::Ok, 1, 'A'},
    {"AnswerDamagedThreeTimes",
     [](ScriptedTransport& l) {
         l.onFrame = [&l](const Frame& f) {
             if (isRequestFrame(f)) {
                 l.send(protocol::ackFrame(f.seq));
             }
             if (isRequestFrame(f) || f.type == FrameType::Nak) {
                 l.sendBytes(damaged(answer(0)), 20ms);
             }
         };
     },
     Result::ProtocolError, 1, 'p'},
};

class ExchangeCase : public ::testing::TestWithParam<Case> {};

TEST_P(ExchangeCase, EndsAsTheTerminalDecides) {
    FakeClock clock;
    ScriptedTransport link(clock);
    GetParam().terminal(link);
    Trace trace;
    Exchange exchange(link, clock, Timeouts, trace);

    std::string posData = image('p');
    const Frame request{FrameType::Payment, Seq, std::string(protocol::RequestPayloadSize, 'R')};
    EXPECT_EQ(GetParam().result, exchange.run(request, posData));

    int requests = 0;
    for (const auto& frame : link.written()) {
        if (isRequestFrame(frame)) {
            ++requests;
            EXPECT_EQ(request.payload, frame.payload);
            EXPECT_EQ(Seq, frame.seq);
        }
    }
    EXPECT_EQ(GetParam().requestsSent, requests);
    EXPECT_EQ(image(GetParam().posDataAfter), posData);
}

INSTANTIATE_TEST_SUITE_P(Terminal, ExchangeCase, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

class ExchangeTiming : public ::testing::Test {
protected:
    FakeClock clock;
    ScriptedTransport link{clock};
    Trace trace;
    Exchange exchange{link, clock, Timeouts, trace};
    std::string posData = image('p');
    const Frame request{FrameType::Status, Seq, std::string(protocol::RequestPayloadSize, 'R')};
};

TEST_F(ExchangeTiming, SilenceGivesUpAfterThreeAckTimeouts) {
    EXPECT_EQ(Result::Timeout, exchange.run(request, posData));
    EXPECT_GE(clock.elapsed(), 3 * Timeouts.ack);
    EXPECT_LT(clock.elapsed(), 3 * Timeouts.ack + 20ms);
}

TEST_F(ExchangeTiming, ProgressKeepsTheAnswerWaitAlive) {
    // Six PROGRESS frames, each just inside the answer time-out: the answer
    // comes almost five time-outs after the request.
    link.send(protocol::ackFrame(Seq));
    for (int i = 0; i < 6; ++i) {
        link.send(progress(), Timeouts.answer - 200ms);
    }
    link.send(answer(0), Timeouts.answer - 200ms);
    EXPECT_EQ(Result::Ok, exchange.run(request, posData));
    EXPECT_GT(clock.elapsed(), 4 * Timeouts.answer);
    EXPECT_EQ(1, link.writtenOfType(FrameType::Status));
    EXPECT_EQ(1, link.writtenOfType(FrameType::Ack));
}

TEST_F(ExchangeTiming, WithoutProgressTheAnswerTimesOut) {
    link.send(protocol::ackFrame(Seq));
    link.send(answer(0), Timeouts.answer + 100ms);
    EXPECT_EQ(Result::Timeout, exchange.run(request, posData));
    EXPECT_EQ(image('p'), posData);
}

TEST_F(ExchangeTiming, EndlessProgressStillEnds) {
    link.send(protocol::ackFrame(Seq));
    for (int i = 0; i < 100; ++i) {
        link.send(progress(), Timeouts.answer / 2);
    }
    EXPECT_EQ(Result::Timeout, exchange.run(request, posData));
    EXPECT_LE(clock.elapsed(), 11 * Timeouts.answer);
}

TEST_F(ExchangeTiming, ANakIsAnsweredByAnImmediateResend) {
    link.onFrame = [this, count = 0](const Frame& frame) mutable {
        if (frame.type == FrameType::Status && ++count == 1) {
            link.send(protocol::nakFrame(Seq, protocol::NakReason::Busy), 10ms);
        } else if (frame.type == FrameType::Status) {
            link.send(protocol::ackFrame(Seq), 10ms);
            link.send(answer(0), 10ms);
        }
    };
    EXPECT_EQ(Result::Ok, exchange.run(request, posData));
    EXPECT_EQ(2, link.writtenOfType(FrameType::Status));
    EXPECT_LT(clock.elapsed(), Timeouts.ack);
}

TEST_F(ExchangeTiming, WriteFailureIsACommunicationError) {
    link.writeStatus = TransportStatus::Failed;
    EXPECT_EQ(Result::ComError, exchange.run(request, posData));
}

TEST_F(ExchangeTiming, BadAnswerIsRefusedWithTheRequestSeq) {
    link.send(protocol::ackFrame(Seq));
    link.sendBytes(damaged(answer(0)));
    link.send(answer(0));
    EXPECT_EQ(Result::Ok, exchange.run(request, posData));
    ASSERT_EQ(1, link.writtenOfType(FrameType::Nak));
    for (const auto& frame : link.written()) {
        if (frame.type == FrameType::Nak) {
            EXPECT_EQ(Seq, frame.seq);
            EXPECT_EQ(protocol::NakReason::BadFrame, protocol::nakReason(frame.payload));
        }
    }
}

TEST_F(ExchangeTiming, AThirdDamagedAnswerEndsTheExchange) {
    link.send(protocol::ackFrame(Seq));
    for (int i = 0; i < 5; ++i) {
        link.sendBytes(damaged(answer(0)));
    }
    link.send(answer(0));
    EXPECT_EQ(Result::ProtocolError, exchange.run(request, posData));
    EXPECT_EQ(2, link.writtenOfType(FrameType::Nak));
    EXPECT_EQ(0, link.writtenOfType(FrameType::Ack));
}

} // namespace
} // namespace iae17
