#include "platform/PosixEventLoop.h"

#include <gtest/gtest.h>

#include <csignal>

namespace kvl {
namespace {

using namespace std::chrono_literals;

TEST(PosixEventLoop, TimerFiresUntilQuit) {
    PosixEventLoop loop;
    int ticks = 0;
    loop.startTimer(2ms, [&] {
        if (++ticks == 3)
            loop.quit(7);
    });
    EXPECT_EQ(7, loop.run());
    EXPECT_EQ(3, ticks);
}

TEST(PosixEventLoop, QuitBeforeRunEndsTheNextRunAtOnce) {
    PosixEventLoop loop;
    loop.quit(4);
    EXPECT_EQ(4, loop.run());
}

TEST(PosixEventLoop, TimerHandlerIsNeverReentered) {
    PosixEventLoop loop;
    int depth = 0, deepest = 0, ticks = 0, otherTicks = 0;
    loop.startTimer(1ms, [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        // Overdue again while still running: processing events must not
        // enter it a second time, but other due timers do run.
        loop.sleep(3ms);
        loop.processEvents();
        if (++ticks == 3)
            loop.quit(0);
        --depth;
    });
    loop.startTimer(1ms, [&] { ++otherTicks; });
    loop.run();
    EXPECT_EQ(1, deepest);
    EXPECT_GE(otherTicks, 1);
}

TEST(PosixEventLoop, SleepRunsNoEventsAndStoppedTimersStayQuiet) {
    PosixEventLoop loop;
    int ticks = 0;
    EventLoop::TimerId id = loop.startTimer(1ms, [&] { ++ticks; });
    loop.sleep(3ms);
    EXPECT_EQ(0, ticks);
    loop.processEvents();
    EXPECT_EQ(1, ticks);
    loop.stopTimer(id);
    loop.sleep(3ms);
    loop.processEvents();
    EXPECT_EQ(1, ticks);
}

TEST(PosixEventLoop, TimerCanStopItself) {
    PosixEventLoop loop;
    int ticks = 0;
    EventLoop::TimerId self = 0;
    self = loop.startTimer(1ms, [&] {
        ++ticks;
        loop.stopTimer(self);
    });
    loop.startTimer(10ms, [&] { loop.quit(0); });
    loop.run();
    EXPECT_EQ(1, ticks);
}

TEST(PosixEventLoop, TerminationSignalsBecomeOneCloseRequest) {
    PosixEventLoop loop;
    int requests = 0;
    loop.onCloseRequest([&] {
        ++requests;
        loop.quit(3);
    });
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ(0, requests); // not inside the signal handler
    EXPECT_EQ(3, loop.run());
    EXPECT_EQ(1, requests);
}

TEST(PosixEventLoop, SignalHandlingIsGivenBackWhenTheLoopGoes) {
    struct sigaction before {};
    ::sigaction(SIGTERM, nullptr, &before);
    {
        PosixEventLoop loop;
        loop.onCloseRequest([] {});
        struct sigaction during {};
        ::sigaction(SIGTERM, nullptr, &during);
        EXPECT_NE(before.sa_handler, during.sa_handler);
    }
    struct sigaction after {};
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(before.sa_handler, after.sa_handler);
}

TEST(SystemClock, LocalTimeFieldsAreInRange) {
    SystemClock clock;
    Clock::LocalTime now = clock.localTime();
    EXPECT_GE(now.year, 2020);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
}

} // namespace
} // namespace kvl
