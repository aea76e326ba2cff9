#include "TerminalEndpoint.h"

#include "protocol/Payload.h"
#include "protocol/Records.h"

#include <gtest/gtest.h>

#include <vector>

namespace sim {
namespace {

using namespace iae17::protocol;
using namespace std::chrono_literals;

class RecordingLog : public ExchangeLog {
public:
    void record(const ExchangeRecord& record) override { ends.push_back(record.end); }
    std::vector<std::string> ends;
};

// A terminal with its memory, and the connections made to it one after
// another, driven by frames and a clock of its own.
class RememberingTerminal : public ::testing::Test {
protected:
    explicit RememberingTerminal(const std::string& scenario = "")
        : plan({}, readScenario(scenario).scenario) {}

    std::unique_ptr<TerminalEndpoint> connect() {
        return std::make_unique<TerminalEndpoint>(
            TerminalParts{terminal, plan, memory, availability, log}, EndpointSettings{},
            [] { return LocalTime{2024, 5, 17, 12, 0, 0, 0}; });
    }
    std::vector<Frame> exchange(TerminalEndpoint& endpoint, const Frame& frame) {
        endpoint.received(encode(frame), now);
        return output(endpoint);
    }
    static std::vector<Frame> output(TerminalEndpoint& endpoint) {
        Decoder decoder;
        decoder.feed(endpoint.takeOutput());
        std::vector<Frame> frames;
        while (auto event = decoder.next())
            frames.push_back(event->frame);
        return frames;
    }
    static Frame payment(RequestId id, const std::string& amount = "1000") {
        std::string request = amount;
        request.resize(PosRequestSize, ' ');
        return Frame{FrameType::Payment, 1,
                     buildRequestPayload(id, request, std::string(PosDataSize, ' '))};
    }
    static Frame enquiry(RequestId id) { return Frame{FrameType::Enquiry, 1, idPayload(id)}; }
    static std::string types(const std::vector<Frame>& frames) {
        std::string text;
        for (const auto& frame : frames)
            text += std::string(typeName(frame.type)) + " ";
        return text;
    }

    Terminal terminal;
    FaultPlan plan;
    RequestMemory memory;
    Availability availability;
    RecordingLog log;
    SteadyTime now = std::chrono::steady_clock::now();
};

TEST_F(RememberingTerminal, ARequestIsRunOnceWhateverConnectionItComesAgainOn) {
    auto first = connect();
    const auto answered = exchange(*first, payment(7));
    ASSERT_EQ("ACK ANSWER ", types(answered));
    first->disconnected(); // before the library could ACK the answer

    auto second = connect();
    const auto again = exchange(*second, payment(7));
    ASSERT_EQ("ACK ANSWER ", types(again));
    EXPECT_EQ(answered[1].payload, again[1].payload) << "the same answer, not a second sale";
    EXPECT_EQ("", types(exchange(*second, ackFrame(1))));

    auto third = connect();
    const auto told = exchange(*third, enquiry(7));
    ASSERT_EQ("ANSWER ", types(told));
    EXPECT_EQ(answered[1].payload, told[0].payload);
    const auto unknown = exchange(*third, enquiry(8));
    ASSERT_EQ("UNKNOWN ", types(unknown));
    EXPECT_EQ(std::optional<RequestId>(8), splitIdPayload(unknown[0].payload));

    // Another sale with the same bytes but its own identifier is a sale.
    EXPECT_EQ("ACK ANSWER ", types(exchange(*third, payment(9))));
    EXPECT_EQ(2u, terminal.journal().size());
    // An identifier that comes back with other content is refused.
    EXPECT_EQ("NAK ", types(exchange(*connect(), payment(9, "2000"))));
    EXPECT_EQ(2u, terminal.journal().size());

    // The last hundred are remembered.
    for (RequestId id = 10; id <= 140; ++id) {
        exchange(*third, payment(id, "100"));
        exchange(*third, ackFrame(1));
    }
    EXPECT_EQ("ANSWER ", types(exchange(*connect(), enquiry(40))));
    EXPECT_EQ("ANSWER ", types(exchange(*connect(), enquiry(140))));
}

// Enquiries that are not exactly an identifier, and requests whose records do
// not add up (the earlier layout's among them), are refused and never run.
TEST_F(RememberingTerminal, MalformedEnquiriesAndRequestsAreRefused) {
    auto endpoint = connect();
    std::string tooLong = payment(5).payload;
    tooLong[IdSize] = 0x0A; // an Amount of ten characters in a field of nine
    const Frame frames[] = {
        {FrameType::Enquiry, 3, ""},
        {FrameType::Enquiry, 3, std::string(7, 'x')},
        {FrameType::Enquiry, 3, std::string(9, 'x')},
        {FrameType::Payment, 3, std::string(PosRequestSize + PosDataSize, ' ')},
        {FrameType::Payment, 3, tooLong},
        {FrameType::Payment, 3, payment(5).payload + "x"},
    };
    for (const Frame& frame : frames) {
        const auto reply = exchange(*endpoint, frame);
        ASSERT_EQ("NAK ", types(reply)) << frame.payload.size();
        EXPECT_EQ(nakReason(reply[0].payload), NakReason::BadFrame);
    }
    EXPECT_TRUE(terminal.journal().empty());
}

class SlowTerminal : public RememberingTerminal {
protected:
    SlowTerminal()
        : RememberingTerminal("payment#1 delay=1000 progress=1 drop=after-ack\npayment#2 mute\n") {}
};

// A request still running is reported so, and its answer follows on the
// connection that asked; a request the terminal went silent on stays so.
TEST_F(SlowTerminal, RunningThenDoneAndMuteStaysSilent) {
    auto dropped = connect();
    EXPECT_EQ("ACK ", types(exchange(*dropped, payment(1))));
    EXPECT_TRUE(dropped->closeRequested());

    auto asking = connect();
    now += 200ms;
    const auto running = exchange(*asking, enquiry(1));
    ASSERT_EQ("RUNNING ", types(running));
    EXPECT_EQ(1u, splitRunningPayload(running[0].payload)->id);
    ASSERT_TRUE(asking->deadline());
    asking->advance(*asking->deadline());
    asking->advance(now + 1000ms);
    EXPECT_EQ("PROGRESS ANSWER ", types(output(*asking)));
    EXPECT_EQ("", types(exchange(*asking, ackFrame(1))));
    EXPECT_TRUE(memory.find(1)->delivered);

    auto mute = connect();
    EXPECT_EQ("ACK ", types(exchange(*mute, payment(2))));
    EXPECT_EQ("", types(exchange(*connect(), enquiry(2))));
    EXPECT_EQ(1u, terminal.journal().size()) << "the mute request was never run";
}

} // namespace
} // namespace sim
