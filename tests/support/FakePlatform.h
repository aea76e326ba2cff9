#pragma once

#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ProgramInfo.h"
#include "platform/SharedLibrary.h"
#include "platform/TrayIcon.h"

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kvl::test {

// An in-memory file system with the name matching of the real one: every
// path component matched without regard to case (an exact match wins, then
// the first case variant in sorted order), a last component beginning with
// '.' absent (folders on the way are passed through whatever their names).
// Paths are split at '/'; a leading '/' is kept, empty components are
// ignored, and the root ("" or "/") always exists.
class FakeFileSystem : public FileSystem {
public:
    enum class Operation {
        FileExists,
        EntryExists,
        IsDirectory,
        Delete,
        Open,
        Append,
        WriteWhole,
        Identity,
        ReadAll
    };

    struct Record {
        Operation operation;
        std::string path;  // as the caller gave it
        std::string bytes; // appended or written
        int errorNumber;   // 0 when the operation succeeded
    };

    // Setting up: files and folders, parents created as needed.
    void addFile(const std::string& path, const std::string& bytes);
    void addDirectory(const std::string& path);
    void setModified(const std::string& path, std::int64_t nanoseconds);

    // Looking at the result, by the exact stored name (use resolve() for a
    // name given in another case).
    bool hasFile(const std::string& exactPath) const;
    bool hasDirectory(const std::string& exactPath) const;
    std::string content(const std::string& exactPath) const; // throws when absent
    std::vector<std::string> fileNames() const;              // exact stored names, sorted
    // The stored name a lookup of the path finds, or empty text.
    std::string resolve(const std::string& path) const;

    // Makes the next `times` calls of the operation on the path (compared
    // without regard to case) throw RunTimeError with the number, leaving the
    // files unchanged.
    void failOperation(Operation operation, const std::string& path, int errorNumber,
                       int times = 1);
    // Readers opened on the path return `lines` lines and then throw.
    void failReadingAfter(const std::string& path, int lines, int errorNumber);

    // Every call made, in order, failed ones included.
    const std::vector<Record>& records() const { return records_; }
    // The changes that succeeded, in order: "delete P", "append P", "write P"
    // with P as the caller gave it.
    std::vector<std::string> changes() const;
    void clearRecords() { records_.clear(); }

    // Called before every operation (for example to change a file while the
    // program polls).
    std::function<void(Operation, const std::string&)> beforeOperation;

    bool fileExists(const std::string& path) override;
    bool entryExists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    void deleteFile(const std::string& path) override;
    std::unique_ptr<LineReader> openForReading(const std::string& path) override;
    void append(const std::string& path, const std::string& bytes) override;
    void writeWhole(const std::string& path, const std::string& bytes) override;
    FileIdentity identity(const std::string& path) override;
    std::string readAll(const std::string& path) override;

private:
    struct File {
        std::string bytes;
        std::int64_t modified = 0;
    };
    struct Lookup {
        bool folderFound = false;
        std::string folder; // stored name of the containing folder
        bool exists = false;
        std::string found; // stored name of the entry
        bool isDirectory = false;
        std::string name; // last component as given
    };
    struct Failure {
        Operation operation;
        std::string path;
        int errorNumber;
        int times;
    };
    struct ReadFailure {
        std::string path;
        int lines;
        int errorNumber;
    };

    Lookup lookup(const std::string& path) const;
    std::string childMatching(const std::string& folder, const std::string& name,
                              bool directoriesOnly) const;
    void begin(Operation operation, const std::string& path, const std::string& bytes = {});
    void succeed(Operation operation, const std::string& path, const std::string& bytes = {});
    [[noreturn]] void fail(Operation operation, const std::string& path, int number,
                           const std::string& reason);
    const File& existingFile(Operation operation, const std::string& path);
    File& fileForWriting(Operation operation, const std::string& path, const std::string& bytes);
    void touch(File& file);

    std::map<std::string, File> files_;
    std::set<std::string> directories_;
    std::vector<Failure> failures_;
    std::vector<ReadFailure> readFailures_;
    std::vector<Record> records_;
    std::int64_t nextModified_ = 1'000'000'000;
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

    // Called while a box is on screen (events may arrive meanwhile).
    std::function<void(const Shown&)> whileShown;

    MessageAnswer show(const std::string& text, const std::string& title, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    std::vector<Shown> shown_;
    std::deque<MessageAnswer> answers_;
};

// Time that moves only when told to.
class FakeClock : public Clock {
public:
    std::chrono::steady_clock::time_point now() override { return now_; }
    LocalTime localTime() override { return local_; }

    void advance(std::chrono::steady_clock::duration duration) { now_ += duration; }
    void setLocalTime(const LocalTime& local) { local_ = local; }
    // Time passed since the clock was made.
    std::chrono::milliseconds elapsed() const;

private:
    std::chrono::steady_clock::time_point start_{std::chrono::hours(1)};
    std::chrono::steady_clock::time_point now_{start_};
    LocalTime local_{2024, 1, 15, 10, 30, 0};
};

// An event loop without real waiting: sleep() moves the fake clock, timers
// fire when the test fires them or lets time pass with advance() or run().
class FakeEventLoop : public EventLoop {
public:
    struct Timer {
        TimerId id;
        std::chrono::milliseconds interval;
        bool active;
        int fired;
    };

    explicit FakeEventLoop(FakeClock& clock) : clock_(clock) {}

    void processEvents() override;
    void sleep(std::chrono::milliseconds duration) override;
    TimerId startTimer(std::chrono::milliseconds interval, std::function<void()> handler) override;
    void stopTimer(TimerId id) override;
    // Lets simulated time pass timer by timer until quit() is called; throws
    // std::logic_error when nothing could ever end the loop (no active timer)
    // or after maxRunSteps timer firings.
    int run() override;
    void quit(int status) override;
    void onCloseRequest(std::function<void()> handler) override;

    // Runs the timer's handler now unless it is stopped or already running.
    void fireTimer(TimerId id);
    // Fires every active timer once, in the order they were started.
    void fireActiveTimers();
    // Moves the clock on by the duration, firing timers as they fall due.
    void advance(std::chrono::milliseconds duration);
    // What SIGTERM does: calls the close-request handler.
    void requestClose();

    const std::vector<std::chrono::milliseconds>& sleeps() const { return sleeps_; }
    int processEventsCalls() const { return processEventsCalls_; }
    const std::vector<Timer>& timers() const { return timers_; }
    std::vector<Timer> activeTimers() const;
    bool hasCloseHandler() const { return static_cast<bool>(closeHandler_); }
    bool quitCalled() const { return quitCalled_; }
    int quitStatus() const { return quitStatus_; }

    // Runs inside every processEvents() call, after it is counted.
    std::function<void()> duringProcessEvents;
    int maxRunSteps = 100000;

private:
    struct Entry {
        std::function<void()> handler;
        std::chrono::steady_clock::time_point due;
        bool running = false;
    };
    Timer* find(TimerId id);
    // The next due time among active timers, false when none is active.
    bool nextDue(std::chrono::steady_clock::time_point& when) const;
    void fireDue();

    FakeClock& clock_;
    std::vector<Timer> timers_;
    std::map<TimerId, Entry> entries_;
    std::vector<std::chrono::milliseconds> sleeps_;
    std::function<void()> closeHandler_;
    int processEventsCalls_ = 0;
    bool quitCalled_ = false;
    bool quitPending_ = false;
    int quitStatus_ = 0;
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
    int calls = 0;
    bool anotherInstanceRunning() override {
        ++calls;
        return running;
    }
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
    std::vector<std::string> opened;
    void open(const std::string& path) override { opened.push_back(path); }
};

// Loads the libraries a test has registered, by the exact name asked for;
// any other name fails with 53.
class FakeLibraryLoader : public LibraryLoader {
public:
    using Symbols = std::map<std::string, void*>;
    void addLibrary(const std::string& path, Symbols symbols) { libraries_[path] = symbols; }
    const std::vector<std::string>& loads() const { return loads_; }
    std::unique_ptr<SharedLibrary> load(const std::string& path) override;

private:
    std::map<std::string, Symbols> libraries_;
    std::vector<std::string> loads_;
};

class FakeTrayIcon : public TrayIcon {
public:
    struct Event {
        bool added;
        NotifyIconData data;
    };
    std::vector<Event> events;
    bool registered = false;
    void add(const NotifyIconData& data) override;
    void remove(const NotifyIconData& data) override;
};

// One of each fake, bundled as the program's platform services.
class FakePlatform {
public:
    FakePlatform();
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
    Platform services;

    Platform& platform() { return services; }
};

} // namespace kvl::test
