#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace kvl {

// The single user-interface thread's event services: processing pending
// events, the operating system's sleep, timers and the idle loop. The program
// ends through the loop: quit() is final, and from then on no event is
// dispatched and run() returns the status at once. A procedure that ends the
// program returns to its caller, which stops; nothing is thrown through the
// loop.
class EventLoop {
public:
    using TimerId = int;

    virtual ~EventLoop() = default;

    // Lets all pending events run once (timers that are due, signals);
    // nothing once quit has been asked.
    virtual void processEvents() = 0;
    // Sleeps without processing events.
    virtual void sleep(std::chrono::milliseconds duration) = 0;

    // Calls the handler every interval until stopped; a handler that is still
    // running is never entered again by the loop.
    virtual TimerId startTimer(std::chrono::milliseconds interval,
                               std::function<void()> handler) = 0;
    virtual void stopTimer(TimerId id) = 0;

    // Runs until quit() is called, processing events as they come, and
    // returns the status given to quit(); at once when quit came before.
    virtual int run() = 0;
    // Asks the program to end with the status; the first status asked for
    // stays.
    virtual void quit(int status) = 0;
    virtual bool quitRequested() const = 0;

    // Called on the loop's thread when the process is asked to end
    // (SIGTERM, SIGINT).
    virtual void onCloseRequest(std::function<void()> handler) = 0;
};

// Runs an event handler so that nothing it throws reaches the loop: a failure
// that escapes it is written to standard error and ends the program with
// status 1, as one escaping main() would. Loops and views dispatch through it.
void runHandler(EventLoop& loop, const std::function<void()>& handler);

// Monotonic and wall-clock time, replaceable in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::steady_clock::time_point now() = 0;
    // The calendar time files are stamped with, in nanoseconds since 1970.
    virtual std::int64_t wallNanoseconds() = 0;
    // Local date and time as the broken-down fields of the calendar.
    struct LocalTime {
        int year, month, day, hour, minute, second;
    };
    virtual LocalTime localTime() = 0;
};

} // namespace kvl
