#include "support/FakePlatform.h"

#include <stdexcept>

namespace kvl::test {

std::vector<std::string> FakeMessageBoxes::texts() const {
    std::vector<std::string> result;
    for (const Shown& box : shown_)
        result.push_back(box.text);
    return result;
}

MessageAnswer FakeMessageBoxes::show(const std::string& text, const std::string& title,
                                     MessageButtons buttons, MessageIcon icon) {
    shown_.push_back({text, title, buttons, icon});
    if (whileOpen) {
        const auto during = whileOpen; // it may replace itself
        during(shown_.back());
    }
    if (answers_.empty())
        return MessageAnswer::Ok;
    MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<FakeEventLoop::Timer> FakeEventLoop::activeTimers() const {
    std::vector<Timer> result;
    for (const Timer& timer : timers_)
        if (timer.active)
            result.push_back(timer);
    return result;
}

void FakeEventLoop::fireActiveTimers() {
    // A handler may start timers, which moves timers_: index it afresh.
    for (const Timer& timer : activeTimers()) {
        if (quitStatus_)
            return;
        const auto index = static_cast<std::size_t>(timer.id) - 1;
        if (!timers_[index].active || timers_[index].running)
            continue;
        timers_[index].running = true;
        try {
            timer.handler();
        } catch (...) {
            timers_[index].running = false;
            throw;
        }
        timers_[index].running = false;
    }
}

} // namespace kvl::test
