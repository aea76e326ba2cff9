// The system's event loop, POSIX or the Win32 message queue: one suite for both.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include "platform/win32/Win32EventLoop.h"
#else
#include "platform/SleepDelay.h"
#include "platform/posix/PosixEventLoop.h"
#include <csignal>
#endif

namespace kvl {
namespace {

using namespace std::chrono_literals;

#ifdef _WIN32
using SystemEventLoop = Win32EventLoop;
// From another thread, as another program posts it to the loop's window.
void askToCloseTwice(Win32EventLoop& loop) {
    std::thread([&] {
        for (int i = 0; i < 2; ++i)
            ::PostMessageA(loop.window(), WM_CLOSE, 0, 0);
    }).join();
}
#else
using SystemEventLoop = PosixEventLoop;
void askToCloseTwice(PosixEventLoop&) {
    std::raise(SIGTERM);
    std::raise(SIGINT);
}
#endif

class EventLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        loop.startTimer(10s, [&] { loop.quit(99); }); // a deadline, should the events stop
    }
    SystemEventLoop loop;
};

TEST_F(EventLoopTest, TimerFiresUntilQuitAndIsNeverReentered) {
    int depth = 0, deepest = 0, ticks = 0, otherTicks = 0;
    loop.startTimer(10ms, [&] {
        deepest = std::max(deepest, ++depth);
        // Overdue again while running: processing events runs other timers, not this one.
        loop.sleep(30ms);
        loop.processEvents();
        if (++ticks == 3)
            loop.quit(7);
        --depth;
    });
    loop.startTimer(10ms, [&] { ++otherTicks; });
    EXPECT_EQ(7, loop.run());
    EXPECT_EQ(3, ticks);
    EXPECT_EQ(1, deepest);
    EXPECT_GE(otherTicks, 1);
}

// Quit is final: run() returns at once with the first status, and after it
// neither a due timer nor a close request is dispatched.
TEST_F(EventLoopTest, CloseRequestsBecomeOneCallOnTheLoopsThreadAndQuitIsFinal) {
    int requests = 0, ticksAfterQuit = 0;
    std::thread::id handlerThread;
    loop.onCloseRequest([&] {
        ++requests;
        handlerThread = std::this_thread::get_id();
        loop.quit(3);
        loop.quit(4);
    });
    askToCloseTwice(loop);
    EXPECT_EQ(0, requests) << "nothing runs outside the loop";
    EXPECT_EQ(3, loop.run());
    loop.startTimer(10ms, [&] { ++ticksAfterQuit; });
    loop.sleep(30ms);
    askToCloseTwice(loop);
    loop.processEvents();
    EXPECT_EQ(3, loop.run());
    EXPECT_EQ(1, requests);
    EXPECT_EQ(0, ticksAfterQuit);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

TEST_F(EventLoopTest, AStoppedTimerStaysStoppedAndAFailureEndsTheProgramWithStatusOne) {
    int ticks = 0, failures = 0;
    EventLoop::TimerId self = 0;
    self = loop.startTimer(10ms, [&] {
        ++ticks;
        loop.stopTimer(self);
    });
    loop.startTimer(200ms, [&] {
        ++failures;
        throw std::runtime_error("broken tick");
    });
    std::ostringstream errors;
    std::streambuf* const previous = std::cerr.rdbuf(errors.rdbuf());
    const int status = loop.run();
    std::cerr.rdbuf(previous);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(errors.str(), "KvlTalvioPos: broken tick\n");
}

#ifndef _WIN32
// Whole slices of 50 ms, rounded as the platform rounds, at most a 16-bit count.
TEST(SleepDelay, WaitsWholeSlicesOfFiftyMilliseconds) {
    std::string slices;
    for (float milliseconds : {49.0f, 120.0f, -5.0f, 149.5f, 1e9f})
        slices += std::to_string(sleepDelaySlices(milliseconds)) + " ";
    EXPECT_EQ(slices, "0 2 0 3 32767 ");
}
#endif

} // namespace
} // namespace kvl
