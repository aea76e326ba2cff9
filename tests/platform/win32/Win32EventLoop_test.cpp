// The event loop on the thread's message queue: SetTimer timers never
// re-entered, a request to close from another thread or program handled on
// the loop's thread, and nothing dispatched once the program ends.

#include "platform/win32/Win32EventLoop.h"

#include "platform/SleepDelay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace kvl {
namespace {

using namespace std::chrono_literals;

TEST(Win32EventLoop, TimerFiresUntilQuitAndIsNeverReentered) {
    Win32EventLoop loop;
    int depth = 0, deepest = 0, ticks = 0, otherTicks = 0;
    loop.startTimer(10ms, [&] {
        deepest = std::max(deepest, ++depth);
        // Overdue again while running: SleepDelay's event processing runs
        // other timers, not this one.
        SleepDelay(loop, 100);
        if (++ticks == 3)
            loop.quit(7);
        --depth;
    });
    loop.startTimer(10ms, [&] { ++otherTicks; });
    loop.startTimer(10s, [&] { loop.quit(99); }); // a deadline, should the ticks stop
    EXPECT_EQ(7, loop.run());
    EXPECT_EQ(3, ticks);
    EXPECT_EQ(1, deepest);
    EXPECT_GE(otherTicks, 1);
}

TEST(Win32EventLoop, ACloseFromOutsideRunsTheHandlerOnceOnTheLoopsThread) {
    Win32EventLoop loop;
    const DWORD loopThread = ::GetCurrentThreadId();
    int requests = 0;
    DWORD handlerThread = 0;
    loop.onCloseRequest([&] {
        ++requests;
        handlerThread = ::GetCurrentThreadId();
        loop.quit(3);
    });
    // Another program finds the loop's window by its class and its process
    // (other programs' loops may be there too); a second close after the
    // first one ended the loop runs nothing.
    std::thread other([&] {
        HWND window = nullptr;
        DWORD process = 0;
        do {
            window = ::FindWindowExA(HWND_MESSAGE, window, Win32EventLoop::WindowClass, nullptr);
            if (window)
                ::GetWindowThreadProcessId(window, &process);
        } while (window && process != ::GetCurrentProcessId());
        EXPECT_EQ(window, loop.window());
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    });
    other.join();
    EXPECT_EQ(0, requests) << "nothing runs outside the loop";
    loop.startTimer(10s, [&] { loop.quit(99); }); // a deadline, should the close not come
    EXPECT_EQ(3, loop.run());
    loop.processEvents();
    EXPECT_EQ(1, requests);
    EXPECT_EQ(loopThread, handlerThread);
}

// A quit asked before the loop runs (a fatal start-up check) ends it at once;
// after it neither a due timer nor a close request is dispatched.
TEST(Win32EventLoop, QuitIsFinalKeepsTheFirstStatusAndDispatchesNothingMore) {
    Win32EventLoop loop;
    int events = 0;
    loop.startTimer(10ms, [&] { ++events; });
    loop.onCloseRequest([&] { ++events; });
    loop.quit(1);
    loop.quit(0);
    ::PostMessageA(loop.window(), WM_CLOSE, 0, 0);
    ::Sleep(30);
    EXPECT_EQ(1, loop.run());
    loop.processEvents();
    EXPECT_EQ(0, events);
    EXPECT_TRUE(loop.quitRequested());
}

TEST(Win32EventLoop, AStoppedTimerStaysStoppedEvenFromInsideItsOwnTick) {
    Win32EventLoop loop;
    int ticks = 0;
    EventLoop::TimerId self = 0;
    self = loop.startTimer(10ms, [&] {
        ++ticks;
        loop.stopTimer(self);
    });
    loop.startTimer(200ms, [&] { loop.quit(0); });
    EXPECT_EQ(0, loop.run());
    EXPECT_EQ(1, ticks);
}

} // namespace
} // namespace kvl
