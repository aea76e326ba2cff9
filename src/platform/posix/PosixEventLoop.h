#pragma once

#include "platform/EventLoop.h"
#include "platform/posix/CloseSignals.h"

#include <map>

namespace kvl {

// The single-threaded event loop on poll(2). SIGTERM and SIGINT reach the
// close-request handler on the loop's thread (CloseSignals); until a
// close-request handler is set the signals keep their usual effect.
class PosixEventLoop : public EventLoop {
public:
    PosixEventLoop() = default;
    ~PosixEventLoop() override = default;
    PosixEventLoop(const PosixEventLoop&) = delete;
    PosixEventLoop& operator=(const PosixEventLoop&) = delete;

    void processEvents() override;
    void sleep(std::chrono::milliseconds duration) override;
    TimerId startTimer(std::chrono::milliseconds interval, std::function<void()> handler) override;
    void stopTimer(TimerId id) override;
    int run() override;
    void quit(int status) override;
    bool quitRequested() const override { return quitRequested_; }
    void onCloseRequest(std::function<void()> handler) override;

private:
    struct Timer {
        std::chrono::milliseconds interval;
        std::function<void()> handler;
        std::chrono::steady_clock::time_point due;
        bool active = true;
        bool running = false;
    };

    void runDueTimers();
    void fire(TimerId id);
    // Milliseconds until the next timer is due, -1 when none is active.
    int pollTimeout() const;

    CloseSignals closeSignals_;

    std::map<TimerId, Timer> timers_;
    TimerId nextId_ = 1;
    std::function<void()> closeHandler_;
    bool quitRequested_ = false;
    int quitStatus_ = 0;
};

// The system's monotonic clock and local time.
class SystemClock : public Clock {
public:
    std::chrono::steady_clock::time_point now() override;
    std::int64_t wallNanoseconds() override;
    LocalTime localTime() override;
};

} // namespace kvl
