#include "Scenario.h"

#include "FaultPlan.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

FaultPlan planFrom(const std::string& text, Fault defaults = {}) {
    const ScenarioReading reading = readScenario(text);
    EXPECT_TRUE(reading.errors.empty()) << reading.errors.front();
    return FaultPlan(defaults, reading.scenario);
}

TEST(ScenarioTest, TheThirdPaymentTimesOut) {
    FaultPlan plan = planFrom("payment#3 timeout\n");
    EXPECT_FALSE(plan.next(Operation::Payment).noAnswer);
    EXPECT_FALSE(plan.next(Operation::Status).noAnswer);
    EXPECT_FALSE(plan.next(Operation::Payment).noAnswer);
    EXPECT_TRUE(plan.next(Operation::Payment).noAnswer);
    EXPECT_FALSE(plan.next(Operation::Payment).noAnswer);
}

TEST(ScenarioTest, AnyCountsCallsOfEveryOperation) {
    FaultPlan plan = planFrom("any#2 delay=5000 progress=4\n");
    EXPECT_EQ(plan.next(Operation::Status), Fault{});
    const Fault second = plan.next(Operation::Payment);
    EXPECT_EQ(second.delayMs, 5000u);
    EXPECT_EQ(second.progress, 4u);
    EXPECT_EQ(plan.next(Operation::Payment), Fault{});
}

TEST(ScenarioTest, RulesWinOverDefaultsAndLaterRulesOverEarlierOnes) {
    Fault defaults;
    defaults.delayMs = 300;
    FaultPlan plan = planFrom("# status always answers at once\n"
                              "status#* ok\n"
                              "\n"
                              "refund badcrc=2 delay=10\n"
                              "refund#2 delay=20\r\n",
                              defaults);
    EXPECT_EQ(plan.next(Operation::Status), Fault{});
    EXPECT_EQ(plan.next(Operation::Payment).delayMs, 300u);
    const Fault firstRefund = plan.next(Operation::Refund);
    EXPECT_EQ(firstRefund.delayMs, 10u);
    EXPECT_EQ(firstRefund.badChecksums, 2u);
    EXPECT_EQ(plan.next(Operation::Refund).delayMs, 20u);
}

TEST(ScenarioTest, UnsupportedFromTheCommandLineYieldsToARule) {
    FaultPlan plan = planFrom("closure#2 ok");
    plan.setUnsupported(Operation::Closure);
    EXPECT_TRUE(plan.next(Operation::Closure).unsupported);
    EXPECT_FALSE(plan.next(Operation::Closure).unsupported);
    EXPECT_FALSE(plan.next(Operation::Payment).unsupported);
}

TEST(ScenarioTest, ReadsEveryFaultWord) {
    const ScenarioReading reading =
        readScenario("Void#1 nak garbage=ack drop=after-answer badcrc UNSUPPORTED # trailing note\n"
                     "void#1 garbage drop=before-ack\n"
                     "void#1 drop=after-ack\n");
    ASSERT_TRUE(reading.errors.empty()) << reading.errors.front();
    FaultPlan plan({}, reading.scenario);
    const Fault fault = plan.next(Operation::Void);
    EXPECT_TRUE(fault.nakFirst);
    EXPECT_EQ(fault.garbage, GarbagePoint::InsteadOfAnswer);
    EXPECT_EQ(fault.drop, DropPoint::AfterAck);
    EXPECT_EQ(fault.badChecksums, 1u);
    EXPECT_TRUE(fault.unsupported);
    EXPECT_EQ(describe(fault), "nak,drop=after-ack,unsupported,garbage=answer,badcrc=1");
}

struct BadLine {
    std::string line;
    std::string error;
};

class ScenarioErrorTest : public ::testing::TestWithParam<BadLine> {};

TEST_P(ScenarioErrorTest, NamesTheLineAndTheProblem) {
    const ScenarioReading reading = readScenario("status ok\n\n" + GetParam().line + "\n");
    ASSERT_EQ(reading.errors.size(), 1u);
    EXPECT_EQ(reading.errors[0], "line 3: " + GetParam().error);
    EXPECT_EQ(reading.scenario.rules.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScenarioErrorTest,
    ::testing::Values(
        BadLine{"paymnet#1 timeout", "unknown operation \"paymnet\""},
        BadLine{"payment#0 timeout", "\"payment#0\": after '#' comes a call number from 1, or '*'"},
        BadLine{"payment#x timeout", "\"payment#x\": after '#' comes a call number from 1, or '*'"},
        BadLine{"payment#99999999999 timeout",
                "\"payment#99999999999\": after '#' comes a call number from 1, or '*'"},
        BadLine{"payment#2", "\"payment#2\" names no fault (write \"ok\" for none)"},
        BadLine{"payment#2 # nothing", "\"payment#2\" names no fault (write \"ok\" for none)"},
        BadLine{"payment#2 slow", "unknown fault \"slow\""},
        BadLine{"payment#2 delay=", "\"delay=\" needs a whole number from 0 to 3600000"},
        BadLine{"payment#2 delay=-5", "\"delay=-5\" needs a whole number from 0 to 3600000"},
        BadLine{"payment#2 delay=3600001",
                "\"delay=3600001\" needs a whole number from 0 to 3600000"},
        BadLine{"payment#2 progress=101", "\"progress=101\" needs a whole number from 0 to 100"},
        BadLine{"payment#2 drop=later",
                "\"drop=later\": drop takes before-ack, after-ack or after-answer"},
        BadLine{"payment#2 garbage=ok", "\"garbage=ok\": garbage takes ack or answer"},
        BadLine{"payment#2 timeout=1", "unknown fault \"timeout=1\""},
        BadLine{"payment#2 ok nak", "\"ok\" stands alone on its line"},
        BadLine{std::string("pay\x01ment timeout", 15), "unknown operation \"pay ment\""}));

TEST(ScenarioTest, BinaryTextGivesErrorsNotACrash) {
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>((i * 131 + 7) % 256);
    const ScenarioReading reading = readScenario(noise);
    EXPECT_FALSE(reading.errors.empty());
}

} // namespace
} // namespace sim
