#include "app/SleepDelay.h"

#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

struct DelayCase {
    float milliseconds;
    int slices;
};

class SleepDelaySlices : public ::testing::TestWithParam<DelayCase> {};

TEST_P(SleepDelaySlices, RoundsThenDropsTheRemainderOf50) {
    EXPECT_EQ(sleepDelaySlices(GetParam().milliseconds), GetParam().slices);
}

INSTANTIATE_TEST_SUITE_P(Values, SleepDelaySlices,
                         ::testing::Values(DelayCase{49, 0}, DelayCase{49.6f, 1}, DelayCase{50, 1},
                                           DelayCase{120, 2}, DelayCase{1000, 20}, DelayCase{0, 0},
                                           DelayCase{-200, 0}, DelayCase{1e12f, 32767}));

TEST(SleepDelay, SleepsEachSliceThenLetsEventsRun) {
    test::FakePlatform fake;
    test::FakeTerminalLibrary library;
    Program program(fake.platform(), library);
    std::vector<long long> eventsAt;
    fake.events.duringProcessEvents = [&] { eventsAt.push_back(fake.clock.elapsed().count()); };

    SleepDelay(program, 120);

    EXPECT_EQ(eventsAt, (std::vector<long long>{50, 100}));
    EXPECT_EQ(fake.events.sleeps().size(), 2u);
}

} // namespace
} // namespace kvl
