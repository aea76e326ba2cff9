#include "app/PollingTimer.h"

#include "AppFixture.h"

namespace kvl::test {
namespace {

class PollingTimerTest : public AppTest {
protected:
    void SetUp() override {
        program.params.CommandFilePath = "/io/SR_DATI.TXT";
        bindPollingTimer(program);
        timer.setInterval(300);
    }
    Timer& timer = program.frmWpos1Type.Timer1;
};

TEST_F(PollingTimerTest, LoopTicksOnlyWhileTimer1IsEnabled) {
    EXPECT_TRUE(fake.events.activeTimers().empty());

    timer.setEnabled(true);
    ASSERT_EQ(fake.events.activeTimers().size(), 1u);
    EXPECT_EQ(fake.events.activeTimers()[0].interval.count(), 300);

    timer.setEnabled(false);
    EXPECT_TRUE(fake.events.activeTimers().empty());
}

TEST_F(PollingTimerTest, EachFiringRunsOneTickAndRearms) {
    timer.setEnabled(true);

    fake.events.fireActiveTimers();
    fake.events.fireActiveTimers();

    EXPECT_EQ(slept(), 2000);
    EXPECT_EQ(fake.events.activeTimers().size(), 1u);
}

TEST_F(PollingTimerTest, IntervalChangeRestartsTheLoopTimer) {
    timer.setEnabled(true);
    timer.setInterval(500);
    ASSERT_EQ(fake.events.activeTimers().size(), 1u);
    EXPECT_EQ(fake.events.activeTimers()[0].interval.count(), 500);
}

} // namespace
} // namespace kvl::test
