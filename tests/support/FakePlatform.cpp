#include "support/FakePlatform.h"

#include "platform/RunTimeError.h"
#include "platform/Text.h"

#include <algorithm>
#include <stdexcept>

namespace kvl::test {

namespace {

struct SplitPath {
    bool absolute = false;
    std::vector<std::string> components;
};

SplitPath splitPath(const std::string& path) {
    SplitPath split;
    split.absolute = !path.empty() && path[0] == '/';
    std::string component;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (!component.empty() && component != ".")
                split.components.push_back(component);
            component.clear();
        } else {
            component += path[i];
        }
    }
    return split;
}

std::string rootOf(bool absolute) {
    return absolute ? "/" : "";
}

std::string childKey(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder == "/")
        return folder + name;
    return folder + "/" + name;
}

std::string parentKey(const std::string& key) {
    std::size_t slash = key.rfind('/');
    if (slash == std::string::npos)
        return "";
    if (slash == 0)
        return "/";
    return key.substr(0, slash);
}

std::string baseName(const std::string& key) {
    std::size_t slash = key.rfind('/');
    return slash == std::string::npos ? key : key.substr(slash + 1);
}

// The path as a stored name: separators collapsed, "." dropped, case kept.
std::string normalized(const std::string& path) {
    SplitPath split = splitPath(path);
    std::string key = rootOf(split.absolute);
    for (const std::string& component : split.components)
        key = childKey(key, component);
    return key;
}

bool samePath(const std::string& a, const std::string& b) {
    return text::equalsIgnoringCase(normalized(a), normalized(b));
}

// Splits bytes into lines the way the real reader does.
class FakeLineReader : public LineReader {
public:
    FakeLineReader(std::string bytes, int failAfter, int errorNumber, std::string path)
        : bytes_(std::move(bytes)), failAfter_(failAfter), errorNumber_(errorNumber),
          path_(std::move(path)) {}

    std::optional<std::string> readLine() override {
        if (failAfter_ >= 0 && linesRead_ >= failAfter_)
            throw RunTimeError(errorNumber_, "Read failed (" + path_ + ")");
        if (position_ >= bytes_.size())
            return std::nullopt;
        std::size_t end = bytes_.find('\n', position_);
        std::string line;
        if (end == std::string::npos) {
            line = bytes_.substr(position_);
            position_ = bytes_.size();
        } else {
            line = bytes_.substr(position_, end - position_);
            position_ = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
        }
        ++linesRead_;
        return line;
    }

private:
    std::string bytes_;
    std::size_t position_ = 0;
    int failAfter_;
    int errorNumber_;
    std::string path_;
    int linesRead_ = 0;
};

class FakeSharedLibrary : public SharedLibrary {
public:
    explicit FakeSharedLibrary(FakeLibraryLoader::Symbols symbols) : symbols_(std::move(symbols)) {}
    void* symbol(const std::string& name) override {
        auto found = symbols_.find(name);
        return found == symbols_.end() ? nullptr : found->second;
    }

private:
    FakeLibraryLoader::Symbols symbols_;
};

} // namespace

// ---- FakeFileSystem: setting up and looking at the files

void FakeFileSystem::addDirectory(const std::string& path) {
    SplitPath split = splitPath(path);
    std::string key = rootOf(split.absolute);
    for (const std::string& component : split.components) {
        key = childKey(key, component);
        directories_.insert(key);
    }
}

void FakeFileSystem::addFile(const std::string& path, const std::string& bytes) {
    std::string key = normalized(path);
    addDirectory(parentKey(key));
    File& file = files_[key];
    file.bytes = bytes;
    touch(file);
}

void FakeFileSystem::setModified(const std::string& path, std::int64_t nanoseconds) {
    files_.at(normalized(path)).modified = nanoseconds;
}

bool FakeFileSystem::hasFile(const std::string& exactPath) const {
    return files_.count(normalized(exactPath)) != 0;
}

bool FakeFileSystem::hasDirectory(const std::string& exactPath) const {
    return directories_.count(normalized(exactPath)) != 0;
}

std::string FakeFileSystem::content(const std::string& exactPath) const {
    auto found = files_.find(normalized(exactPath));
    if (found == files_.end())
        throw std::logic_error("no file " + exactPath);
    return found->second.bytes;
}

std::vector<std::string> FakeFileSystem::fileNames() const {
    std::vector<std::string> names;
    for (const auto& entry : files_)
        names.push_back(entry.first);
    return names;
}

std::string FakeFileSystem::resolve(const std::string& path) const {
    return lookup(path).found;
}

void FakeFileSystem::failOperation(Operation operation, const std::string& path, int errorNumber,
                                   int times) {
    failures_.push_back({operation, path, errorNumber, times});
}

void FakeFileSystem::failReadingAfter(const std::string& path, int lines, int errorNumber) {
    readFailures_.push_back({path, lines, errorNumber});
}

std::vector<std::string> FakeFileSystem::changes() const {
    std::vector<std::string> result;
    for (const Record& record : records_) {
        if (record.errorNumber != 0)
            continue;
        if (record.operation == Operation::Delete)
            result.push_back("delete " + record.path);
        else if (record.operation == Operation::Append)
            result.push_back("append " + record.path);
        else if (record.operation == Operation::WriteWhole)
            result.push_back("write " + record.path);
    }
    return result;
}

// ---- FakeFileSystem: name matching

std::string FakeFileSystem::childMatching(const std::string& folder, const std::string& name,
                                          bool directoriesOnly) const {
    std::vector<std::string> candidates;
    for (const std::string& key : directories_)
        if (parentKey(key) == folder)
            candidates.push_back(key);
    if (!directoriesOnly)
        for (const auto& entry : files_)
            if (parentKey(entry.first) == folder)
                candidates.push_back(entry.first);
    std::sort(candidates.begin(), candidates.end());

    std::string variant;
    for (const std::string& key : candidates) {
        std::string base = baseName(key);
        // A hidden name is absent, but a hidden folder can be passed through.
        if (base.empty() || (base[0] == '.' && !directoriesOnly))
            continue;
        if (base == name)
            return key;
        if (variant.empty() && text::equalsIgnoringCase(base, name))
            variant = key;
    }
    return variant;
}

FakeFileSystem::Lookup FakeFileSystem::lookup(const std::string& path) const {
    SplitPath split = splitPath(path);
    Lookup result;
    std::string folder = rootOf(split.absolute);
    if (split.components.empty()) {
        result.folderFound = true;
        result.exists = true;
        result.found = folder;
        result.isDirectory = true;
        return result;
    }
    for (std::size_t i = 0; i + 1 < split.components.size(); ++i) {
        const std::string& component = split.components[i];
        if (component == "..") {
            folder = parentKey(folder);
            continue;
        }
        folder = childMatching(folder, component, true);
        if (folder.empty())
            return result;
    }
    result.folderFound = true;
    result.folder = folder;
    result.name = split.components.back();
    result.found = childMatching(folder, result.name, false);
    result.exists = !result.found.empty();
    result.isDirectory = result.exists && directories_.count(result.found) != 0;
    return result;
}

// ---- FakeFileSystem: the operations

void FakeFileSystem::begin(Operation operation, const std::string& path, const std::string& bytes) {
    if (beforeOperation)
        beforeOperation(operation, path);
    for (Failure& failure : failures_) {
        if (failure.operation == operation && failure.times > 0 && samePath(failure.path, path)) {
            --failure.times;
            records_.push_back({operation, path, bytes, failure.errorNumber});
            throw RunTimeError(failure.errorNumber, "Simulated failure (" + path + ")");
        }
    }
}

void FakeFileSystem::succeed(Operation operation, const std::string& path,
                             const std::string& bytes) {
    records_.push_back({operation, path, bytes, 0});
}

void FakeFileSystem::fail(Operation operation, const std::string& path, int number,
                          const std::string& reason) {
    records_.push_back({operation, path, {}, number});
    throw RunTimeError(number, reason + " (" + path + ")");
}

void FakeFileSystem::touch(File& file) {
    file.modified = nextModified_;
    nextModified_ += 1'000'000;
}

const FakeFileSystem::File& FakeFileSystem::existingFile(Operation operation,
                                                         const std::string& path) {
    Lookup found = lookup(path);
    if (!found.folderFound)
        fail(operation, path, ErrorNumber::PathNotFound, "Path not found");
    if (!found.exists)
        fail(operation, path, ErrorNumber::FileNotFound, "File not found");
    if (found.isDirectory)
        fail(operation, path, ErrorNumber::PathFileAccess, "Path/File access error");
    return files_.at(found.found);
}

FakeFileSystem::File& FakeFileSystem::fileForWriting(Operation operation, const std::string& path,
                                                     const std::string& bytes) {
    begin(operation, path, bytes);
    Lookup found = lookup(path);
    if (!found.folderFound)
        fail(operation, path, ErrorNumber::PathNotFound, "Path not found");
    if (found.isDirectory)
        fail(operation, path, ErrorNumber::PathFileAccess, "Path/File access error");
    std::string key = found.exists ? found.found : childKey(found.folder, found.name);
    return files_[key];
}

bool FakeFileSystem::fileExists(const std::string& path) {
    begin(Operation::FileExists, path);
    Lookup found = lookup(path);
    succeed(Operation::FileExists, path);
    return found.exists && !found.isDirectory;
}

bool FakeFileSystem::entryExists(const std::string& path) {
    begin(Operation::EntryExists, path);
    Lookup found = lookup(path);
    succeed(Operation::EntryExists, path);
    return found.exists;
}

bool FakeFileSystem::isDirectory(const std::string& path) {
    begin(Operation::IsDirectory, path);
    Lookup found = lookup(path);
    succeed(Operation::IsDirectory, path);
    return found.isDirectory;
}

void FakeFileSystem::deleteFile(const std::string& path) {
    begin(Operation::Delete, path);
    Lookup found = lookup(path);
    existingFile(Operation::Delete, path);
    files_.erase(found.found);
    succeed(Operation::Delete, path);
}

std::unique_ptr<LineReader> FakeFileSystem::openForReading(const std::string& path) {
    begin(Operation::Open, path);
    const File& file = existingFile(Operation::Open, path);
    int failAfter = -1;
    int errorNumber = 0;
    for (const ReadFailure& failure : readFailures_) {
        if (samePath(failure.path, path)) {
            failAfter = failure.lines;
            errorNumber = failure.errorNumber;
        }
    }
    succeed(Operation::Open, path);
    return std::make_unique<FakeLineReader>(file.bytes, failAfter, errorNumber, path);
}

void FakeFileSystem::append(const std::string& path, const std::string& bytes) {
    File& file = fileForWriting(Operation::Append, path, bytes);
    file.bytes += bytes;
    touch(file);
    succeed(Operation::Append, path, bytes);
}

void FakeFileSystem::writeWhole(const std::string& path, const std::string& bytes) {
    File& file = fileForWriting(Operation::WriteWhole, path, bytes);
    file.bytes = bytes;
    touch(file);
    succeed(Operation::WriteWhole, path, bytes);
}

FileIdentity FakeFileSystem::identity(const std::string& path) {
    begin(Operation::Identity, path);
    const File& file = existingFile(Operation::Identity, path);
    succeed(Operation::Identity, path);
    return FileIdentity{file.bytes.size(), file.modified};
}

std::string FakeFileSystem::readAll(const std::string& path) {
    begin(Operation::ReadAll, path);
    const File& file = existingFile(Operation::ReadAll, path);
    succeed(Operation::ReadAll, path);
    return file.bytes;
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
    if (whileShown)
        whileShown(shown_.back());
    if (answers_.empty())
        return MessageAnswer::Ok;
    MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

// ---- FakeClock

std::chrono::milliseconds FakeClock::elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(now_ - start_);
}

// ---- FakeEventLoop

void FakeEventLoop::processEvents() {
    ++processEventsCalls_;
    if (duringProcessEvents)
        duringProcessEvents();
}

void FakeEventLoop::sleep(std::chrono::milliseconds duration) {
    sleeps_.push_back(duration);
    clock_.advance(duration);
}

EventLoop::TimerId FakeEventLoop::startTimer(std::chrono::milliseconds interval,
                                             std::function<void()> handler) {
    TimerId id = static_cast<TimerId>(timers_.size()) + 1;
    timers_.push_back({id, interval, true, 0});
    Entry entry;
    entry.handler = std::move(handler);
    entry.due = clock_.now() + std::max(interval, std::chrono::milliseconds(1));
    entries_[id] = std::move(entry);
    return id;
}

void FakeEventLoop::stopTimer(TimerId id) {
    if (Timer* timer = find(id))
        timer->active = false;
}

FakeEventLoop::Timer* FakeEventLoop::find(TimerId id) {
    for (Timer& timer : timers_)
        if (timer.id == id)
            return &timer;
    return nullptr;
}

std::vector<FakeEventLoop::Timer> FakeEventLoop::activeTimers() const {
    std::vector<Timer> result;
    for (const Timer& timer : timers_)
        if (timer.active)
            result.push_back(timer);
    return result;
}

void FakeEventLoop::fireTimer(TimerId id) {
    Timer* timer = find(id);
    if (!timer || !timer->active || entries_[id].running)
        return;
    ++timer->fired;
    std::chrono::milliseconds interval = timer->interval;
    entries_[id].running = true;
    // The handler may start timers (growing timers_), so copy it and look the
    // entry up again afterwards.
    std::function<void()> handler = entries_[id].handler;
    try {
        handler();
    } catch (...) {
        entries_[id].running = false;
        throw;
    }
    Entry& entry = entries_[id];
    entry.running = false;
    entry.due = clock_.now() + std::max(interval, std::chrono::milliseconds(1));
}

void FakeEventLoop::fireActiveTimers() {
    std::vector<TimerId> ids;
    for (const Timer& timer : timers_)
        if (timer.active)
            ids.push_back(timer.id);
    for (TimerId id : ids)
        fireTimer(id);
}

bool FakeEventLoop::nextDue(std::chrono::steady_clock::time_point& when) const {
    bool any = false;
    for (const Timer& timer : timers_) {
        const Entry& entry = entries_.at(timer.id);
        if (!timer.active || entry.running)
            continue;
        if (!any || entry.due < when)
            when = entry.due;
        any = true;
    }
    return any;
}

void FakeEventLoop::fireDue() {
    std::vector<TimerId> due;
    for (const Timer& timer : timers_)
        if (timer.active && entries_.at(timer.id).due <= clock_.now())
            due.push_back(timer.id);
    for (TimerId id : due)
        fireTimer(id);
}

void FakeEventLoop::advance(std::chrono::milliseconds duration) {
    std::chrono::steady_clock::time_point target = clock_.now() + duration;
    std::chrono::steady_clock::time_point when;
    while (nextDue(when) && when <= target) {
        if (when > clock_.now())
            clock_.advance(when - clock_.now());
        fireDue();
    }
    if (target > clock_.now())
        clock_.advance(target - clock_.now());
}

int FakeEventLoop::run() {
    int steps = 0;
    while (!quitPending_) {
        std::chrono::steady_clock::time_point when;
        if (!nextDue(when))
            throw std::logic_error("the event loop would wait forever: no active timer");
        if (++steps > maxRunSteps)
            throw std::logic_error("the event loop did not quit");
        if (when > clock_.now())
            clock_.advance(when - clock_.now());
        fireDue();
    }
    quitPending_ = false;
    return quitStatus_;
}

void FakeEventLoop::quit(int status) {
    quitCalled_ = true;
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
    loads_.push_back(path);
    auto found = libraries_.find(path);
    if (found == libraries_.end())
        throw RunTimeError(ErrorNumber::FileNotFound,
                           "File not found: cannot open shared object file " + path);
    return std::make_unique<FakeSharedLibrary>(found->second);
}

void FakeTrayIcon::add(const NotifyIconData& data) {
    events.push_back({true, data});
    registered = true;
}

void FakeTrayIcon::remove(const NotifyIconData& data) {
    events.push_back({false, data});
    registered = false;
}

FakePlatform::FakePlatform()
    : services{files,    messages, events,    clock,     program,
               instance, system,   documents, libraries, tray} {}

} // namespace kvl::test
