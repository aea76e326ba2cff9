#pragma once

#include "platform/EventLoop.h"
#include "platform/win32/UniqueHandle.h"

#include <map>
#include <windows.h>

namespace kvl {

// The single-threaded event loop on the thread's Win32 message queue: timers
// are SetTimer timers of a message-only window, processEvents() is a
// PeekMessage loop that dispatches every pending message of the thread, the
// views' windows included. A request to end the process reaches the
// close-request handler on the loop's thread: a console control event
// (Ctrl+C, Ctrl+Break, the console closed, log-off, shut-down) or WM_CLOSE
// sent to the loop's window, which other programs find by its class name.
class Win32EventLoop : public EventLoop {
public:
    static constexpr const char* WindowClass = "KvlTalvioPosEvents";

    Win32EventLoop();
    ~Win32EventLoop() override;
    Win32EventLoop(const Win32EventLoop&) = delete;
    Win32EventLoop& operator=(const Win32EventLoop&) = delete;

    void processEvents() override;
    void sleep(std::chrono::milliseconds duration) override;
    TimerId startTimer(std::chrono::milliseconds interval, std::function<void()> handler) override;
    void stopTimer(TimerId id) override;
    int run() override;
    void quit(int status) override;
    bool quitRequested() const override { return quitRequested_; }
    void onCloseRequest(std::function<void()> handler) override;

    HWND window() const { return window_; }

private:
    struct Timer {
        std::function<void()> handler;
        bool active = true;
        bool running = false;
    };

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    static BOOL WINAPI consoleControl(DWORD event);
    void dispatch(MSG& message);
    void fire(TimerId id);
    void closeRequested();

    HWND window_ = nullptr;
    std::map<TimerId, Timer> timers_;
    TimerId nextId_ = 1;
    std::function<void()> closeHandler_;
    bool consoleHandlerInstalled_ = false;
    bool quitRequested_ = false;
    int quitStatus_ = 0;
    // Set once the loop has been asked to quit, for a console control event
    // that must not return before the program has ended its work.
    UniqueHandle ended_;
};

// The system's monotonic clock, its calendar time (the same as the file
// system stamps files with) and local time.
class SystemClock : public Clock {
public:
    std::chrono::steady_clock::time_point now() override;
    std::int64_t wallNanoseconds() override;
    LocalTime localTime() override;
};

} // namespace kvl
