#include "support/MemoryFileSystem.h"

#include "platform/LineSplitter.h"
#include "platform/RunTimeError.h"
#include "platform/Text.h"

#include <stdexcept>
#include <vector>

namespace kvl::test {

namespace {

RunTimeError failure(int number, const char* what, const std::string& path) {
    return RunTimeError(number, std::string(what) + ": " + path);
}

// A reader that gives a number of lines and then fails at every call.
class FailingLineReader : public LineReader {
public:
    FailingLineReader(std::unique_ptr<LineReader> reader, int lines, RunTimeError error)
        : reader_(std::move(reader)), lines_(lines), error_(std::move(error)) {}

    std::optional<std::string> readLine() override {
        if (lines_-- <= 0)
            throw error_;
        return reader_->readLine();
    }

private:
    std::unique_ptr<LineReader> reader_;
    int lines_;
    RunTimeError error_;
};

// An open file: it reads the bytes the file holds at each read, from the
// file it was opened on.
class MemoryByteReader : public ByteReader {
public:
    MemoryByteReader(std::shared_ptr<const std::string> bytes,
                     std::shared_ptr<const std::int64_t> modified)
        : bytes_(std::move(bytes)), modified_(std::move(modified)) {}

    std::size_t read(char* buffer, std::size_t size) override {
        if (position_ >= bytes_->size())
            return 0;
        const std::size_t count = bytes_->copy(buffer, size, position_);
        position_ += count;
        return count;
    }
    void seek(std::uint64_t offset) override { position_ = static_cast<std::size_t>(offset); }
    FileIdentity identity() override { return {bytes_->size(), *modified_}; }

private:
    std::shared_ptr<const std::string> bytes_;
    std::shared_ptr<const std::int64_t> modified_;
    std::size_t position_ = 0;
};

} // namespace

const std::string& MemoryFileSystem::begin(Operation operation, const std::string& path) {
    if (beforeOperation)
        beforeOperation(operation, path);
    for (Failure& failure : failures_) {
        if (failure.operation == operation && failure.times > 0 &&
            text::equalsIgnoringCase(failure.path, path)) {
            --failure.times;
            throw RunTimeError(failure.errorNumber, "Simulated failure (" + path + ")");
        }
    }
    return path;
}

MemoryFileSystem::Resolved MemoryFileSystem::resolve(const std::string& path) {
    const std::vector<std::string> components = pathComponents(path, '/');
    std::vector<Entry*> folders{&root_};
    Resolved resolved;
    if (components.empty()) {
        resolved.folder = &root_;
        resolved.entry = &root_;
        return resolved;
    }
    // The entry of the folder the name matches: the exact name, else the first
    // case variant in sorted order; hidden names only on the way.
    auto match = [](Entry& folder, const std::string& name, bool wantFolder,
                    bool hideDotNames) -> Entry* {
        if (hideDotNames && name[0] == '.')
            return nullptr;
        auto fits = [&](const auto& child) { return child.second->directory || !wantFolder; };
        if (auto exact = folder.children.find(name); exact != folder.children.end() && fits(*exact))
            return exact->second.get();
        for (auto& child : folder.children)
            if ((!hideDotNames || child.first[0] != '.') &&
                text::equalsIgnoringCase(child.first, name) && fits(child))
                return child.second.get();
        return nullptr;
    };
    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        if (components[i] == "..") {
            if (folders.size() > 1)
                folders.pop_back();
            continue;
        }
        Entry* next = match(*folders.back(), components[i], true, false);
        if (!next)
            return resolved;
        folders.push_back(next);
    }
    resolved.folder = folders.back();
    resolved.name = components.back();
    if (resolved.name == "..")
        resolved.entry = folders.size() > 1 ? folders[folders.size() - 2] : &root_;
    else
        resolved.entry = match(*resolved.folder, resolved.name, false, true);
    return resolved;
}

MemoryFileSystem::Entry& MemoryFileSystem::existing(const std::string& path) {
    const Resolved resolved = resolve(path);
    if (!resolved.folder)
        throw failure(ErrorNumber::PathNotFound, "Path not found", path);
    if (!resolved.entry)
        throw failure(ErrorNumber::FileNotFound, "File not found", path);
    return *resolved.entry;
}

MemoryFileSystem::Entry& MemoryFileSystem::existingFile(const std::string& path) {
    Entry& entry = existing(path);
    if (entry.directory)
        throw failure(ErrorNumber::PathFileAccess, "Path/File access error", path);
    return entry;
}

MemoryFileSystem::Entry& MemoryFileSystem::writeTarget(const std::string& path) {
    const Resolved resolved = resolve(path);
    if (!resolved.folder)
        throw failure(ErrorNumber::PathNotFound, "Path not found", path);
    if (resolved.name.empty())
        throw failure(ErrorNumber::FileNotFound, "File not found", path);
    Entry* file = resolved.entry;
    if (!file) {
        auto made = std::make_shared<Entry>();
        file = made.get();
        resolved.folder->children.emplace(resolved.name, std::move(made));
    }
    if (file->directory)
        throw failure(ErrorNumber::PathFileAccess, "Path/File access error", path);
    return *file;
}

bool MemoryFileSystem::fileExists(const std::string& path) {
    const Entry* entry = resolve(begin(Operation::Other, path)).entry;
    return entry && !entry->directory;
}

bool MemoryFileSystem::entryExists(const std::string& path) {
    return path.empty() || resolve(begin(Operation::Other, path)).entry;
}

bool MemoryFileSystem::isDirectory(const std::string& path) {
    const Entry* entry = resolve(begin(Operation::Other, path)).entry;
    return entry && entry->directory;
}

void MemoryFileSystem::deleteFile(const std::string& path) {
    Entry& file = existingFile(begin(Operation::Delete, path));
    Entry& folder = *resolve(path).folder;
    for (auto child = folder.children.begin(); child != folder.children.end(); ++child)
        if (child->second.get() == &file) {
            folder.children.erase(child);
            changes_.push_back("delete " + path);
            return;
        }
}

std::shared_ptr<MemoryFileSystem::Entry> MemoryFileSystem::sharedFile(const std::string& path) {
    Entry& file = existingFile(path);
    for (const auto& child : resolve(path).folder->children)
        if (child.second.get() == &file)
            return child.second;
    throw std::logic_error("a file outside its folder: " + path);
}

std::unique_ptr<LineReader> MemoryFileSystem::openForReading(const std::string& path) {
    std::unique_ptr<LineReader> reader =
        std::make_unique<LineSplitter>(openBytes(begin(Operation::Open, path)));
    for (const Failure& failure : readFailures_)
        if (text::equalsIgnoringCase(failure.path, path))
            return std::make_unique<FailingLineReader>(
                std::move(reader), failure.times,
                RunTimeError(failure.errorNumber, "Read failed (" + path + ")"));
    return reader;
}

std::unique_ptr<ByteReader> MemoryFileSystem::openBytes(const std::string& path) {
    const std::shared_ptr<Entry> file = sharedFile(begin(Operation::Other, path));
    return std::make_unique<MemoryByteReader>(
        std::shared_ptr<const std::string>(file, &file->bytes),
        std::shared_ptr<const std::int64_t>(file, &file->modified));
}

void MemoryFileSystem::append(const std::string& path, const std::string& bytes) {
    Entry& file = writeTarget(begin(Operation::Append, path));
    file.bytes += bytes;
    written(file);
    changes_.push_back("append " + path);
    appends.push_back({path, bytes});
}

void MemoryFileSystem::writeWhole(const std::string& path, const std::string& bytes) {
    // A new file takes the name, as a rename over the old one does: a reader
    // of the old one keeps it.
    Entry& old = writeTarget(begin(Operation::Other, path));
    for (auto& child : resolve(path).folder->children)
        if (child.second.get() == &old) {
            child.second = std::make_shared<Entry>();
            child.second->bytes = bytes;
            written(*child.second);
            changes_.push_back("write " + path);
            return;
        }
}

FileIdentity MemoryFileSystem::identity(const std::string& path) {
    const Entry& entry = existing(begin(Operation::Other, path));
    return {entry.bytes.size(), entry.modified};
}

std::string MemoryFileSystem::readAll(const std::string& path) {
    return existingFile(begin(Operation::Other, path)).bytes;
}

MemoryFileSystem::Entry& MemoryFileSystem::folderMade(const std::string& path) {
    Entry* entry = &root_;
    for (const std::string& name : pathComponents(path, '/')) {
        auto& child = entry->children[name];
        if (!child) {
            child = std::make_shared<Entry>();
            child->directory = true;
        }
        entry = child.get();
    }
    return *entry;
}

const MemoryFileSystem::Entry* MemoryFileSystem::exactEntry(const std::string& path) const {
    const Entry* entry = &root_;
    for (const std::string& name : pathComponents(path, '/')) {
        const auto child = entry->children.find(name);
        if (child == entry->children.end())
            return nullptr;
        entry = child->second.get();
    }
    return entry;
}

void MemoryFileSystem::addFile(const std::string& path, const std::string& bytes) {
    const std::size_t slash = path.rfind('/');
    Entry& folder = folderMade(slash == std::string::npos ? "" : path.substr(0, slash));
    auto& file = folder.children[path.substr(slash + 1)];
    if (!file)
        file = std::make_shared<Entry>();
    file->bytes = bytes;
    written(*file);
}

void MemoryFileSystem::addDirectory(const std::string& path) {
    folderMade(path);
}

void MemoryFileSystem::setModified(const std::string& path, std::int64_t nanoseconds) {
    if (const Entry* entry = exactEntry(path))
        const_cast<Entry*>(entry)->modified = nanoseconds;
}

bool MemoryFileSystem::hasFile(const std::string& exactPath) const {
    const Entry* entry = exactEntry(exactPath);
    return entry && !entry->directory;
}

std::string MemoryFileSystem::content(const std::string& exactPath) const {
    const Entry* entry = exactEntry(exactPath);
    if (!entry || entry->directory)
        throw std::runtime_error("no file " + exactPath);
    return entry->bytes;
}

} // namespace kvl::test
