// One payment through the real program ("-E", headless) over the real
// libiae17.so against terminal-sim, on 127.0.0.1 and on a pseudo-terminal,
// with each fault the terminal can show: what the ECR reads must agree with
// what the terminal did. A payment the terminal charged is reported as a
// failure only when the terminal could not be reached for the whole bound.

#include "support/Installation.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kvl::test {
namespace {

using Clock = std::chrono::steady_clock;
using Line = Simulator::Line;

constexpr long Connect = 1000, Ack = 300, Answer = 1000, Status = 500, Recovery = 1500;
// A call: connect, three sends, ten answer time-outs, the recovery. A command
// is a status and a payment; the process gets two seconds.
constexpr long callBound(long answer, long recovery) {
    return Connect + 3 * Ack + 10 * answer + recovery;
}
constexpr long CommandBound = callBound(Status, Status) + callBound(Answer, Recovery) + 2000;

struct Fault {
    const char* name;
    const char* scenario;
    const char* tcpOutcome; // ESITO_COMANDO
    const char* serialOutcome;
    int charges;     // payments the terminal approved
    bool unverified; // the terminal ran it and the ECR could not be told
};

const Fault Faults[] = {
    {"Approved", "", "OK", "OK", 1, false},
    {"DropAfterTheAck", "payment#1 drop=after-ack", "OK", "OK", 1, false},
    {"ThreeBadChecksums", "payment#1 badcrc=3", "OK", "OK", 1, false},
    {"GarbageForTheAnswer", "payment#1 garbage", "OK", "OK", 1, false},
    {"AckThenSilence", "payment#1 timeout", "OK", "OK", 1, false},
    {"AnswerAfterTheAnswerTimeout", "payment#1 delay=1800", "OK", "OK", 1, false},
    {"GarbageForTheAckThenAResend", "payment#1 garbage=ack", "OK", "OK", 1, false},
    {"FirstReconnectRefused", "payment#1 drop=after-ack deaf=400", "OK", "OK", 1, false},
    {"UnreachableForTheWholeBound", "payment#1 drop=after-ack deaf=6000", "COM ERROR",
     "TIMEOUT ERROR", 1, true},
    {"ForgottenByARestart", "payment#1 forget", "COM ERROR", "TIMEOUT ERROR", 0, false},
    {"EveryExchangeSilentAfterItsAck", "any#* mute", "TIMEOUT ERROR", "TIMEOUT ERROR", 0, false},
};

class FaultMatrix : public ::testing::TestWithParam<std::tuple<Fault, Line>> {};

TEST_P(FaultMatrix, TheEcrReadsWhatTheTerminalDid) {
    const auto& [fault, line] = GetParam();
    Simulator simulator(std::string(fault.scenario) + "\n", line);
    Installation installation(simulator.port());
    if (line == Line::Pty)
        installation.useSerialLine(simulator.device());
    installation.environment["IAE17_CONNECT_TIMEOUT_MS"] = std::to_string(Connect);
    installation.environment["IAE17_ACK_TIMEOUT_MS"] = std::to_string(Ack);
    installation.environment["IAE17_ANSWER_TIMEOUT_MS"] = std::to_string(Answer);
    installation.environment["IAE17_STATUS_TIMEOUT_MS"] = std::to_string(Status);
    installation.environment["IAE17_RECOVERY_MS"] = std::to_string(Recovery);

    const auto start = Clock::now();
    const std::string result = installation.runOnce({"POS_PAGAME,T1,E1,A000001250,P00"});
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    simulator.stop();

    const std::string outcome = line == Line::Tcp ? fault.tcpOutcome : fault.serialOutcome;
    EXPECT_EQ(outcome, valueAfter(result, "ESITO_COMANDO = ")) << simulator.log();
    EXPECT_EQ(outcome == "OK" ? "00 " : "01", valueAfter(result, "ESITO_TRANSAZ = "));
    const int charges = simulator.logged({" Payment ", " result=00 "});
    EXPECT_EQ(fault.charges, charges) << simulator.log();
    EXPECT_LE(charges, 1) << "charged at most once";
    EXPECT_EQ(fault.unverified, simulator.logged({" Payment ", " result=unverified "}) == 1)
        << simulator.log();
    EXPECT_TRUE(outcome == "OK" || charges == 0 || fault.unverified)
        << "charged, and reported as failed";
    EXPECT_LE(took.count(), CommandBound);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix,
                         ::testing::Combine(::testing::ValuesIn(Faults),
                                            ::testing::Values(Line::Tcp, Line::Pty)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Line::Tcp ? "Tcp" : "Serial");
                         });

} // namespace
} // namespace kvl::test
