#pragma once

#include "controls/Timer.h"
#include "platform/EventLoop.h"

#include <optional>

namespace kvl {

// Runs a Timer model on the event loop: while the timer is enabled with an
// interval, the loop fires it every interval; when it is disabled or its
// interval changes, the loop's timer follows. The loop's timer stops when the
// binding goes.
class TimerBinding {
public:
    TimerBinding(Timer& timer, EventLoop& events);
    ~TimerBinding();
    TimerBinding(const TimerBinding&) = delete;
    TimerBinding& operator=(const TimerBinding&) = delete;

private:
    void follow();
    void stop();

    Timer& timer_;
    EventLoop& events_;
    std::optional<EventLoop::TimerId> running_;
    int interval_ = 0;
    Subscription subscription_;
};

} // namespace kvl
