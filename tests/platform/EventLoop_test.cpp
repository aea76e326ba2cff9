#include "platform/posix/PosixEventLoop.h"

#include "platform/SleepDelay.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace kvl {
namespace {

using namespace std::chrono_literals;

TEST(PosixEventLoop, TimerFiresUntilQuitAndIsNeverReentered) {
    PosixEventLoop loop;
    int depth = 0, deepest = 0, ticks = 0, otherTicks = 0;
    loop.startTimer(1ms, [&] {
        deepest = std::max(deepest, ++depth);
        // Overdue again while running: processing events runs other timers, not this one.
        loop.sleep(3ms);
        loop.processEvents();
        if (++ticks == 3)
            loop.quit(7);
        --depth;
    });
    loop.startTimer(1ms, [&] { ++otherTicks; });
    EXPECT_EQ(7, loop.run());
    EXPECT_EQ(3, ticks);
    EXPECT_EQ(1, deepest);
    EXPECT_GE(otherTicks, 1);
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

// A quit asked before the loop runs (a fatal start-up check) ends it at once;
// after it neither a due timer nor a signal is dispatched.
TEST(PosixEventLoop, QuitIsFinalKeepsTheFirstStatusAndDispatchesNothingMore) {
    PosixEventLoop loop;
    int events = 0;
    loop.startTimer(1ms, [&] { ++events; });
    loop.onCloseRequest([&] { ++events; });
    loop.quit(1);
    loop.quit(0);
    loop.sleep(3ms);
    std::raise(SIGTERM);
    loop.processEvents();
    EXPECT_TRUE(loop.quitRequested());
    EXPECT_EQ(loop.run(), 1);
    EXPECT_EQ(events, 0);
}

TEST(PosixEventLoop, AFailureEscapingAHandlerIsReportedAndEndsTheProgramWithStatusOne) {
    PosixEventLoop loop;
    int ticks = 0;
    loop.startTimer(1ms, [&] {
        ++ticks;
        throw std::runtime_error("broken tick");
    });
    std::ostringstream errors;
    std::streambuf* const previous = std::cerr.rdbuf(errors.rdbuf());
    const int status = loop.run();
    std::cerr.rdbuf(previous);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(errors.str(), "KvlTalvioPos: broken tick\n");
}

// Slices of 50 ms with events after each; a quit asked by one of those events
// ends the wait at once.
TEST(SleepDelay, WaitsWholeSlicesAndStopsWhenAnEventEndsTheProgram) {
    test::FakeClock clock;
    test::FakeEventLoop loop(clock);
    int events = 0;
    loop.duringProcessEvents = [&] { ++events; };
    for (float milliseconds : {49.0f, 120.0f, -5.0f, 149.5f}) // 0, 2, 0, 3 slices
        EXPECT_TRUE(SleepDelay(loop, milliseconds));
    EXPECT_EQ(clock.elapsed(), 50ms * 5);
    EXPECT_EQ(events, 5);

    loop.duringProcessEvents = [&] {
        if (++events == 8)
            loop.quit(0);
    };
    EXPECT_FALSE(SleepDelay(loop, 1000));
    EXPECT_EQ(clock.elapsed(), 50ms * 8);
    EXPECT_FALSE(SleepDelay(loop, 1000));
    EXPECT_EQ(clock.elapsed(), 50ms * 8);
}

} // namespace
} // namespace kvl
