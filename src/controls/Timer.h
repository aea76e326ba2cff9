#pragma once

#include "controls/Control.h"

namespace kvl {

// A timer model: enabled state, interval and its tick procedure. A
// TimerBinding runs it on the event loop.
class Timer : public Control {
public:
    explicit Timer(std::string name) : Control(std::move(name), {}, Twips{}) { setEnabled(false); }
    int interval() const { return interval_; }
    void setInterval(int milliseconds) {
        update(interval_, milliseconds, Property::Interval, nullptr);
    }

    // Attaches the tick procedure, replacing the one before.
    void onTimer(Procedure procedure) { tick_ = std::move(procedure); }
    // One tick: runs the procedure when the timer is enabled.
    void fire() {
        if (!enabled() || !tick_)
            return;
        const Procedure procedure = tick_;
        procedure();
    }

private:
    int interval_ = 0;
    Procedure tick_;
};

} // namespace kvl
