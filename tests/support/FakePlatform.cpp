#include "support/FakePlatform.h"

#include "platform/PathResolver.h"
#include "platform/RunTimeError.h"
#include "platform/Text.h"

#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace kvl::test {

namespace {

void setModifiedTime(const std::string& onDisk, std::int64_t nanoseconds) {
    const timespec times[2] = {{0, UTIME_OMIT},
                               {nanoseconds / 1'000'000'000, nanoseconds % 1'000'000'000}};
    ::utimensat(AT_FDCWD, onDisk.c_str(), times, 0);
}

// A reader that gives a number of lines and then fails at every call.
class FailingLineReader : public LineReader {
public:
    FailingLineReader(std::unique_ptr<LineReader> reader, int lines, int errorNumber,
                      std::string path)
        : reader_(std::move(reader)), lines_(lines), errorNumber_(errorNumber),
          path_(std::move(path)) {}

    std::optional<std::string> readLine() override {
        if (lines_-- <= 0)
            throw RunTimeError(errorNumber_, "Read failed (" + path_ + ")");
        return reader_->readLine();
    }

private:
    std::unique_ptr<LineReader> reader_;
    int lines_;
    int errorNumber_;
    std::string path_;
};

} // namespace

// ---- FakeFileSystem

std::string FakeFileSystem::onDisk(const std::string& path) const {
    return root_.path() + (!path.empty() && path[0] == '/' ? "" : "/") + path;
}

void FakeFileSystem::addFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(onDisk(path)).parent_path());
    writeFile(onDisk(path), bytes);
    setModifiedTime(onDisk(path), nextModified_ += 1'000'000);
}

void FakeFileSystem::addDirectory(const std::string& path) {
    std::filesystem::create_directories(onDisk(path));
}

void FakeFileSystem::setModified(const std::string& path, std::int64_t nanoseconds) {
    setModifiedTime(onDisk(path), nanoseconds);
}

bool FakeFileSystem::hasFile(const std::string& exactPath) const {
    return std::filesystem::is_regular_file(onDisk(exactPath));
}

std::string FakeFileSystem::content(const std::string& exactPath) const {
    return readFile(onDisk(exactPath));
}

void FakeFileSystem::failOperation(Operation operation, const std::string& path, int errorNumber,
                                   int times) {
    failures_.push_back({operation, path, errorNumber, times});
}

void FakeFileSystem::failReadingAfter(const std::string& path, int lines, int errorNumber) {
    readFailures_.push_back({Operation::Open, path, errorNumber, lines});
}

// Runs the action on the path on disk, unless a failure is due; errors name
// the path as the caller gave it.
template <typename Action>
auto FakeFileSystem::run(Operation operation, const std::string& path, Action action) {
    if (beforeOperation)
        beforeOperation(operation, path);
    for (Failure& failure : failures_) {
        if (failure.operation == operation && failure.times > 0 &&
            text::equalsIgnoringCase(failure.path, path)) {
            --failure.times;
            throw RunTimeError(failure.errorNumber, "Simulated failure (" + path + ")");
        }
    }
    try {
        return action(onDisk(path));
    } catch (const RunTimeError& error) {
        std::string description = error.description();
        for (std::size_t at; (at = description.find(root_.path())) != std::string::npos;)
            description.erase(at, root_.path().size());
        throw RunTimeError(error.number(), description);
    }
}

void FakeFileSystem::touch(const std::string& onDiskPath) {
    setModifiedTime(resolvePath(onDiskPath).actual, nextModified_ += 1'000'000);
}

bool FakeFileSystem::fileExists(const std::string& path) {
    return run(Operation::FileExists, path, [&](const auto& at) { return files_.fileExists(at); });
}

bool FakeFileSystem::entryExists(const std::string& path) {
    return run(Operation::EntryExists, path,
               [&](const auto& at) { return files_.entryExists(at); });
}

bool FakeFileSystem::isDirectory(const std::string& path) {
    return run(Operation::IsDirectory, path,
               [&](const auto& at) { return files_.isDirectory(at); });
}

void FakeFileSystem::deleteFile(const std::string& path) {
    run(Operation::Delete, path, [&](const auto& at) { files_.deleteFile(at); });
    changes_.push_back("delete " + path);
}

std::unique_ptr<LineReader> FakeFileSystem::openForReading(const std::string& path) {
    auto reader =
        run(Operation::Open, path, [&](const auto& at) { return files_.openForReading(at); });
    for (const Failure& failure : readFailures_) {
        if (text::equalsIgnoringCase(failure.path, path))
            return std::make_unique<FailingLineReader>(std::move(reader), failure.times,
                                                       failure.errorNumber, path);
    }
    return reader;
}

void FakeFileSystem::append(const std::string& path, const std::string& bytes) {
    run(Operation::Append, path, [&](const auto& at) {
        files_.append(at, bytes);
        touch(at);
    });
    changes_.push_back("append " + path);
}

void FakeFileSystem::writeWhole(const std::string& path, const std::string& bytes) {
    run(Operation::WriteWhole, path, [&](const auto& at) {
        files_.writeWhole(at, bytes);
        touch(at);
    });
    changes_.push_back("write " + path);
}

FileIdentity FakeFileSystem::identity(const std::string& path) {
    return run(Operation::Identity, path, [&](const auto& at) { return files_.identity(at); });
}

std::string FakeFileSystem::readAll(const std::string& path) {
    return run(Operation::ReadAll, path, [&](const auto& at) { return files_.readAll(at); });
}

// ---- FakeMessageBoxes

std::vector<std::string> FakeMessageBoxes::texts() const {
    std::vector<std::string> result;
    for (const Shown& box : shown_)
        result.push_back(box.text);
    return result;
}

MessageAnswer FakeMessageBoxes::show(const std::string& text, const std::string& title,
                                     MessageButtons buttons, MessageIcon icon) {
    shown_.push_back({text, title, buttons, icon});
    if (answers_.empty())
        return MessageAnswer::Ok;
    MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

// ---- FakeEventLoop

void FakeEventLoop::processEvents() {
    if (duringProcessEvents)
        duringProcessEvents();
}

void FakeEventLoop::sleep(std::chrono::milliseconds duration) {
    sleeps_.push_back(duration);
    clock_.advance(duration);
}

EventLoop::TimerId FakeEventLoop::startTimer(std::chrono::milliseconds interval,
                                             std::function<void()> handler) {
    const TimerId id = static_cast<TimerId>(timers_.size()) + 1;
    timers_.push_back({id, interval, std::move(handler)});
    return id;
}

void FakeEventLoop::stopTimer(TimerId id) {
    if (id >= 1 && id <= static_cast<TimerId>(timers_.size()))
        timers_[static_cast<std::size_t>(id) - 1].active = false;
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

int FakeEventLoop::run() {
    for (int rounds = 0; !quitPending_; ++rounds) {
        if (activeTimers().empty() || rounds == 100000)
            throw std::logic_error("the event loop would never quit");
        fireActiveTimers();
    }
    quitPending_ = false;
    return quitStatus_;
}

void FakeEventLoop::quit(int status) {
    quitPending_ = true;
    quitStatus_ = status;
}

void FakeEventLoop::onCloseRequest(std::function<void()> handler) {
    closeHandler_ = std::move(handler);
}

void FakeEventLoop::requestClose() {
    if (closeHandler_)
        closeHandler_();
}

// ---- the other services

std::unique_ptr<SharedLibrary> FakeLibraryLoader::load(const std::string& path) {
    throw RunTimeError(ErrorNumber::FileNotFound,
                       "File not found: cannot open shared object file " + path);
}

} // namespace kvl::test
