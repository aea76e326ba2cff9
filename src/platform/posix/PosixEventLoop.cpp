#include "platform/posix/PosixEventLoop.h"

#include <cerrno>
#include <limits>
#include <poll.h>
#include <time.h>
#include <vector>

namespace kvl {

void PosixEventLoop::onCloseRequest(std::function<void()> handler) {
    closeHandler_ = std::move(handler);
    if (closeHandler_)
        closeSignals_.install();
    else
        closeSignals_.restore();
}

void PosixEventLoop::processEvents() {
    if (quitRequested_)
        return;
    if (closeSignals_.drain() && closeHandler_) {
        const std::function<void()> handler = closeHandler_;
        runHandler(*this, handler);
    }
    runDueTimers();
}

void PosixEventLoop::runDueTimers() {
    auto now = std::chrono::steady_clock::now();
    std::vector<TimerId> due;
    for (const auto& [id, timer] : timers_)
        if (timer.active && !timer.running && timer.due <= now)
            due.push_back(id);
    for (TimerId id : due)
        if (!quitRequested_)
            fire(id);
}

void PosixEventLoop::fire(TimerId id) {
    auto found = timers_.find(id);
    if (found == timers_.end() || !found->second.active || found->second.running)
        return;
    found->second.running = true;
    // The handler may start or stop timers, itself included; look it up again
    // afterwards instead of keeping the reference.
    std::function<void()> handler = found->second.handler;
    struct Finish {
        PosixEventLoop& loop;
        TimerId id;
        ~Finish() {
            auto timer = loop.timers_.find(id);
            if (timer == loop.timers_.end())
                return;
            if (!timer->second.active) {
                loop.timers_.erase(timer);
                return;
            }
            timer->second.running = false;
            timer->second.due = std::chrono::steady_clock::now() + timer->second.interval;
        }
    } finish{*this, id};
    runHandler(*this, handler);
}

EventLoop::TimerId PosixEventLoop::startTimer(std::chrono::milliseconds interval,
                                              std::function<void()> handler) {
    TimerId id = nextId_++;
    Timer timer;
    timer.interval = std::max(interval, std::chrono::milliseconds(1));
    timer.handler = std::move(handler);
    timer.due = std::chrono::steady_clock::now() + timer.interval;
    timers_.emplace(id, std::move(timer));
    return id;
}

void PosixEventLoop::stopTimer(TimerId id) {
    auto found = timers_.find(id);
    if (found == timers_.end())
        return;
    if (found->second.running)
        found->second.active = false; // removed when its handler returns
    else
        timers_.erase(found);
}

int PosixEventLoop::pollTimeout() const {
    bool any = false;
    std::chrono::steady_clock::time_point next;
    for (const auto& [id, timer] : timers_) {
        (void)id;
        if (!timer.active || timer.running)
            continue;
        if (!any || timer.due < next)
            next = timer.due;
        any = true;
    }
    if (!any)
        return -1;
    auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(next - std::chrono::steady_clock::now());
    long long milliseconds = std::max<long long>(0, wait.count());
    return static_cast<int>(std::min<long long>(milliseconds, std::numeric_limits<int>::max()));
}

int PosixEventLoop::run() {
    while (!quitRequested_) {
        pollfd signalWait{closeSignals_.readEnd(), POLLIN, 0};
        ::poll(&signalWait, 1, pollTimeout());
        processEvents();
    }
    return quitStatus_;
}

void PosixEventLoop::quit(int status) {
    if (quitRequested_)
        return;
    quitRequested_ = true;
    quitStatus_ = status;
}

void PosixEventLoop::sleep(std::chrono::milliseconds duration) {
    if (duration.count() <= 0)
        return;
    timespec remaining{static_cast<time_t>(duration.count() / 1000),
                       static_cast<long>(duration.count() % 1000) * 1'000'000};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

std::chrono::steady_clock::time_point SystemClock::now() {
    return std::chrono::steady_clock::now();
}

std::int64_t SystemClock::wallNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

Clock::LocalTime SystemClock::localTime() {
    time_t seconds = ::time(nullptr);
    tm fields{};
    ::localtime_r(&seconds, &fields);
    return LocalTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                     fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

} // namespace kvl
