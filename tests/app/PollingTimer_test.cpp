#include "app/PollingTimer.h"

#include "AppFixture.h"

namespace kvl::test {
namespace {

TEST_F(AppTest, LoopTimerFollowsTimer1AndEachFiringIsOneTick) {
    program.params.CommandFilePath = "/io/SR_DATI.TXT";
    Timer& timer = program.frmWpos1Type.Timer1;
    bindPollingTimer(program);
    timer.setInterval(300);
    EXPECT_TRUE(fake.events.activeTimers().empty());

    timer.setEnabled(true);
    fake.events.fireActiveTimers();
    fake.events.fireActiveTimers();
    EXPECT_EQ(slept(), 2 * 1000);
    timer.setInterval(500);
    ASSERT_EQ(fake.events.activeTimers().size(), 1u);
    EXPECT_EQ(fake.events.activeTimers()[0].interval.count(), 500);

    timer.setEnabled(false);
    EXPECT_TRUE(fake.events.activeTimers().empty());
}

} // namespace
} // namespace kvl::test
