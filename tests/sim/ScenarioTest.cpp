#include "Scenario.h"
#include "FaultPlan.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(ScenarioTest, PaymentNumberThreeIsTheThirdPaymentAndABadLineIsReportedWithItsNumber) {
    FaultPlan plan({}, readScenario("# a comment\npayment#3 timeout\n").scenario);
    std::string unanswered;
    for (Operation operation : {Operation::Payment, Operation::Status, Operation::Payment,
                                Operation::Payment, Operation::Payment}) {
        unanswered += plan.next(operation).noAnswer ? 'x' : '-';
    }
    EXPECT_EQ(unanswered, "---x-");

    const std::pair<std::string, std::string> cases[] = {
        {"paymnet#1 timeout", "unknown operation \"paymnet\""},
        {"payment#0 timeout", "\"payment#0\": after '#' comes a call number from 1, or '*'"},
        {"payment#2", "\"payment#2\" names no fault (write \"ok\" for none)"},
    };
    for (const auto& [line, error] : cases) {
        const ScenarioReading bad = readScenario("status ok\n\n" + line + "\n");
        EXPECT_EQ(bad.errors, std::vector<std::string>{"line 3: " + error});
        EXPECT_EQ(bad.scenario.rules.size(), 1u);
    }
}

} // namespace
} // namespace sim
