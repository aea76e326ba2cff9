#pragma once

#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/PosixFileSystem.h"
#include "platform/ProgramInfo.h"
#include "platform/RunTimeError.h"
#include "platform/SharedLibrary.h"
#include "platform/TrayIcon.h"
#include "support/TempFolder.h"

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvl::test {

// The real file services on a temporary folder that stands for the root: every
// path, "/opt/kvl/x" or "C:", lies below it, so names match as on disk. A test
// can make operations fail, see the changes made, and every write moves the
// modification time on by a millisecond, so that each version of a file has an
// identity of its own.
class FakeFileSystem : public FileSystem {
public:
    enum class Operation {
        FileExists,
        EntryExists,
        IsDirectory,
        Delete,
        Open,
        OpenBytes,
        Append,
        WriteWhole,
        Identity,
        ReadAll
    };

    // Setting up and looking at files by their exact names; parents are made.
    void addFile(const std::string& path, const std::string& bytes);
    void addDirectory(const std::string& path) {
        std::filesystem::create_directories(onDisk(path));
    }
    void setModified(const std::string& path, std::int64_t nanoseconds);
    bool hasFile(const std::string& exactPath) const { return test::fileExists(onDisk(exactPath)); }
    std::string content(const std::string& exactPath) const { return readFile(onDisk(exactPath)); }

    // Makes the next `times` calls of the operation on the path (compared
    // without regard to case) throw RunTimeError with the number, leaving the
    // files unchanged.
    void failOperation(Operation operation, const std::string& path, int errorNumber,
                       int times = 1) {
        failures_.push_back({operation, path, errorNumber, times});
    }
    // Readers opened on the path return `lines` lines and then throw.
    void failReadingAfter(const std::string& path, int lines, int errorNumber) {
        readFailures_.push_back({Operation::Open, path, errorNumber, lines});
    }

    // The changes that succeeded, in order: "delete P", "append P", "write P"
    // with P as the caller gave it.
    std::vector<std::string> changes() const { return changes_; }
    // The bytes of every successful append, in order, with the path as given.
    struct Append {
        std::string path;
        std::string bytes;
    };
    std::vector<Append> appends;
    // Called before every operation (for example to change a file while the
    // program polls).
    std::function<void(Operation, const std::string&)> beforeOperation;

    bool fileExists(const std::string& path) override {
        return files_.fileExists(begin(Operation::FileExists, path));
    }
    bool entryExists(const std::string& path) override {
        return files_.entryExists(begin(Operation::EntryExists, path));
    }
    bool isDirectory(const std::string& path) override {
        return files_.isDirectory(begin(Operation::IsDirectory, path));
    }
    void deleteFile(const std::string& path) override {
        files_.deleteFile(begin(Operation::Delete, path));
        changed("delete ", path);
    }
    std::unique_ptr<LineReader> openForReading(const std::string& path) override;
    std::unique_ptr<ByteReader> openBytes(const std::string& path) override {
        return files_.openBytes(begin(Operation::OpenBytes, path));
    }
    void append(const std::string& path, const std::string& bytes) override {
        files_.append(begin(Operation::Append, path), bytes);
        changed("append ", path);
        appends.push_back({path, bytes});
    }
    void writeWhole(const std::string& path, const std::string& bytes) override {
        files_.writeWhole(begin(Operation::WriteWhole, path), bytes);
        changed("write ", path);
    }
    FileIdentity identity(const std::string& path) override {
        return files_.identity(begin(Operation::Identity, path));
    }
    std::string readAll(const std::string& path) override {
        return files_.readAll(begin(Operation::ReadAll, path));
    }

private:
    struct Failure {
        Operation operation;
        std::string path;
        int errorNumber;
        int times; // for a read failure: the lines read before it
    };

    std::string onDisk(const std::string& path) const {
        return root_.path() + (!path.empty() && path[0] == '/' ? "" : "/") + path;
    }
    // Throws a failure that is due, else gives the path on disk.
    std::string begin(Operation operation, const std::string& path);
    // Records a change and gives the file a new modification time.
    void changed(const std::string& change, const std::string& path);

    TempFolder root_;
    PosixFileSystem files_;
    std::vector<Failure> failures_;
    std::vector<Failure> readFailures_;
    std::vector<std::string> changes_;
    std::int64_t nextModified_ = 1'900'000'000'000'000'000; // in 2030
};

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

private:
    std::vector<Shown> shown_;
    std::deque<MessageAnswer> answers_;
};

// Time that moves only when told to. The calendar time starts at `wall`, long
// before the times FakeFileSystem stamps files with, so that every file looks
// just written unless a test sets its time.
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
    // Time passed since the clock was made.
    std::chrono::milliseconds elapsed() const { return elapsed_; }

private:
    std::chrono::steady_clock::time_point start_{std::chrono::hours(1)};
    std::chrono::milliseconds elapsed_{0};
    LocalTime local_{2024, 1, 15, 10, 30, 0};
};

// An event loop without real waiting: sleep() moves the fake clock, and timers
// fire only when the test fires them.
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
        if (duringProcessEvents)
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
    int run() override { throw std::logic_error("a test fires the timers itself"); }
    void quit(int) override {}
    void onCloseRequest(std::function<void()> handler) override {
        closeHandler_ = std::move(handler);
    }

    // Fires every active timer once, in the order they were started, except
    // one whose handler is still running.
    void fireActiveTimers();
    // What SIGTERM does.
    void requestClose() {
        if (closeHandler_)
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

class FakeDocumentOpener : public DocumentOpener {
public:
    void open(const std::string&) override {}
};

// Finds no library: every load fails with 53.
class FakeLibraryLoader : public LibraryLoader {
public:
    std::unique_ptr<SharedLibrary> load(const std::string& path) override {
        throw RunTimeError(ErrorNumber::FileNotFound,
                           "File not found: cannot open shared object file " + path);
    }
};

class FakeTrayIcon : public TrayIcon {
public:
    struct Event {
        bool added;
        NotifyIconData data;
    };
    std::vector<Event> events;
    bool registered = false;
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
