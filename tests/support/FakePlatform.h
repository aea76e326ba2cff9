#pragma once

#include "platform/EventLoop.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ProgramInfo.h"
#include "platform/RunTimeError.h"
#include "platform/SharedLibrary.h"
#include "platform/TrayIcon.h"
#include "support/MemoryFileSystem.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvl::test {

// Records every box and answers from a queue, OK when the queue is empty.
class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string title;
        MessageButtons buttons;
        MessageIcon icon;
    };

    void setNextAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<std::string> texts() const;
    void clear() { shown_.clear(); }

    MessageAnswer show(const std::string& text, const std::string& title, MessageButtons buttons,
                       MessageIcon icon) override;

    // Runs while each box is open, as the events a modal box lets through.
    std::function<void(const Shown&)> whileOpen;

private:
    std::vector<Shown> shown_;
    std::deque<MessageAnswer> answers_;
};

// Time that moves only when told to. The calendar time starts at `wall`, long
// before the times MemoryFileSystem stamps files with, so that every file
// looks just written unless a test sets its time.
class FakeClock : public Clock {
public:
    std::chrono::steady_clock::time_point now() override { return start_ + elapsed_; }
    std::int64_t wallNanoseconds() override {
        return wall + std::chrono::nanoseconds(elapsed_).count();
    }
    std::int64_t wall = 1'000'000'000'000'000'000; // in 2001
    LocalTime localTime() override { return local_; }

    void advance(std::chrono::milliseconds duration) { elapsed_ += duration; }
    void setLocalTime(const LocalTime& local) { local_ = local; }

private:
    std::chrono::steady_clock::time_point start_{std::chrono::hours(1)};
    std::chrono::milliseconds elapsed_{0};
    LocalTime local_{2024, 1, 15, 10, 30, 0};
};

// An event loop without real waiting: sleep() moves the fake clock, and timers
// fire only when the test fires them. Once quit has been asked nothing is
// dispatched any more, as in the real loop, and run() returns the status.
class FakeEventLoop : public EventLoop {
public:
    struct Timer {
        TimerId id;
        std::chrono::milliseconds interval;
        std::function<void()> handler;
        bool active = true;
        bool running = false;
    };

    explicit FakeEventLoop(FakeClock& clock) : clock_(clock) {}

    void processEvents() override {
        if (!quitStatus_ && duringProcessEvents)
            duringProcessEvents();
    }
    void sleep(std::chrono::milliseconds duration) override {
        sleeps_.push_back(duration);
        clock_.advance(duration);
    }
    TimerId startTimer(std::chrono::milliseconds interval, std::function<void()> handler) override {
        timers_.push_back({static_cast<TimerId>(timers_.size()) + 1, interval, std::move(handler)});
        return timers_.back().id;
    }
    void stopTimer(TimerId id) override {
        timers_.at(static_cast<std::size_t>(id) - 1).active = false;
    }
    int run() override {
        if (!quitStatus_)
            throw std::logic_error("a test fires the timers itself");
        return *quitStatus_;
    }
    void quit(int status) override {
        if (!quitStatus_)
            quitStatus_ = status;
    }
    bool quitRequested() const override { return quitStatus_.has_value(); }
    // The status the program was ended with, if it was.
    std::optional<int> quitStatus() const { return quitStatus_; }
    void onCloseRequest(std::function<void()> handler) override {
        closeHandler_ = std::move(handler);
    }

    // Fires every active timer once, in the order they were started, except
    // one whose handler is still running.
    void fireActiveTimers();
    // What SIGTERM does.
    void requestClose() {
        if (closeHandler_ && !quitStatus_)
            closeHandler_();
    }

    const std::vector<std::chrono::milliseconds>& sleeps() const { return sleeps_; }
    std::vector<Timer> activeTimers() const;

    // Runs inside every processEvents() call.
    std::function<void()> duringProcessEvents;

private:
    FakeClock& clock_;
    std::vector<Timer> timers_;
    std::vector<std::chrono::milliseconds> sleeps_;
    std::function<void()> closeHandler_;
    std::optional<int> quitStatus_;
};

class FakeProgramInfo : public ProgramInfo {
public:
    std::string folder = "/opt/kvl";
    std::string arguments;
    std::string programFolder() override { return folder; }
    std::string commandLine() override { return arguments; }
};

class FakeInstanceGuard : public InstanceGuard {
public:
    bool running = false;
    bool anotherInstanceRunning() override { return running; }
};

class FakeSystemInfo : public SystemInfo {
public:
    Version version{5, 1, 2600, 0};
    std::string appDataFolder; // empty: cannot be obtained
    Version osVersion() override { return version; }
    std::string commonAppDataFolder() override { return appDataFolder; }
};

// Records the documents it is asked to open; a test can make it fail.
class FakeDocumentOpener : public DocumentOpener {
public:
    std::vector<std::string> opened;
    std::optional<RunTimeError> failure;
    void open(const std::string& path) override {
        if (failure)
            throw *failure;
        opened.push_back(path);
    }
};

// Finds no library: every load fails with 53.
class FakeLibraryLoader : public LibraryLoader {
public:
    std::unique_ptr<SharedLibrary> load(const std::string& path) override {
        throw RunTimeError(ErrorNumber::FileNotFound,
                           "File not found: cannot open shared object file " + path);
    }
    std::string fileName(const std::string&) const override { return "libiae17.so"; }
};

// A tray that exists (unless told otherwise); a test clicks the icon with
// activate().
class FakeTrayIcon : public TrayIcon {
public:
    struct Event {
        bool added;
        NotifyIconData data;
    };
    std::vector<Event> events;
    bool registered = false;
    bool exists = true;
    bool available() const override { return exists; }
    void add(const NotifyIconData& data) override { events.push_back({registered = true, data}); }
    void remove(const NotifyIconData& data) override {
        events.push_back({registered = false, data});
    }
};

// One of each fake, bundled as the program's platform services.
class FakePlatform {
public:
    FakePlatform() = default;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    FakeFileSystem files;
    FakeMessageBoxes messages;
    FakeClock clock;
    FakeEventLoop events{clock};
    FakeProgramInfo program;
    FakeInstanceGuard instance;
    FakeSystemInfo system;
    FakeDocumentOpener documents;
    FakeLibraryLoader libraries;
    FakeTrayIcon tray;
    Platform services{files,    messages, events,    clock,     program,
                      instance, system,   documents, libraries, tray};

    Platform& platform() { return services; }
};

} // namespace kvl::test
