#include "platform/PosixEventLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

namespace kvl {
namespace {

using namespace std::chrono_literals;

TEST(PosixEventLoop, TimerFiresUntilQuitAndIsNeverReentered) {
    PosixEventLoop loop;
    int depth = 0, deepest = 0, ticks = 0, otherTicks = 0;
    loop.startTimer(1ms, [&] {
        deepest = std::max(deepest, ++depth);
        // Overdue again while still running: processing events must not
        // enter it a second time, but other due timers do run.
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

} // namespace
} // namespace kvl
