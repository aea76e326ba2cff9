#include "controls/TimerBinding.h"

#include <chrono>

namespace kvl {

TimerBinding::TimerBinding(Timer& timer, EventLoop& events)
    : timer_(timer), events_(events),
      subscription_(timer.onChange([this](Property) { follow(); })) {
    follow();
}

TimerBinding::~TimerBinding() {
    stop();
}

void TimerBinding::stop() {
    if (running_)
        events_.stopTimer(*running_);
    running_.reset();
}

void TimerBinding::follow() {
    const bool wanted = timer_.enabled() && timer_.interval() > 0;
    if (running_ && (!wanted || interval_ != timer_.interval()))
        stop();
    if (wanted && !running_) {
        interval_ = timer_.interval();
        running_ =
            events_.startTimer(std::chrono::milliseconds(interval_), [this] { timer_.fire(); });
    }
}

} // namespace kvl
