#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kvl::test {

// The file services in memory, with the platform's name matching: '/'
// separates folders, every component is matched without regard to case (an
// exact match wins, else the first case variant in sorted order), a last
// component beginning with '.' counts as absent though such a folder can be
// passed through, and failures carry the numbers 53 (file not found), 75 (a
// folder used as a file) and 76 (path not found). A relative path starts at
// the root. Lines end at CR LF, a lone CR or a lone LF. Every write gives the
// file a new modification time, a millisecond on, from a time in 2030. An open
// file reads as the disk's would: an append or a test's addFile changes it in
// place, a whole write puts a new file in its place and a deletion takes only
// the name, so that a reader keeps the file it opened.
//
// A test can script failures, see the changes made and the bytes appended,
// and act before the operations that matter to it.
class MemoryFileSystem : public FileSystem {
public:
    enum class Operation { Open, Delete, Append, Other };

    char separator() const override { return '/'; }
    bool isSeparator(char c) const override { return c == '/'; }

    bool fileExists(const std::string& path) override;
    bool entryExists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    void deleteFile(const std::string& path) override;
    std::unique_ptr<LineReader> openForReading(const std::string& path) override;
    std::unique_ptr<ByteReader> openBytes(const std::string& path) override;
    void append(const std::string& path, const std::string& bytes) override;
    void writeWhole(const std::string& path, const std::string& bytes) override;
    FileIdentity identity(const std::string& path) override;
    std::string readAll(const std::string& path) override;

    // Setting up and looking at files by their exact names; folders on the way
    // are made.
    void addFile(const std::string& path, const std::string& bytes);
    void addDirectory(const std::string& path);
    void setModified(const std::string& path, std::int64_t nanoseconds);
    bool hasFile(const std::string& exactPath) const;
    // Throws std::runtime_error when there is no such file.
    std::string content(const std::string& exactPath) const;

    // Makes the next `times` deletions or appends of the path (compared
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
    const std::vector<std::string>& changes() const { return changes_; }
    // The bytes of every successful append, in order, with the path as given.
    struct Append {
        std::string path;
        std::string bytes;
    };
    std::vector<Append> appends;
    // Called before every operation (for example to change a file while the
    // program polls).
    std::function<void(Operation, const std::string&)> beforeOperation;

private:
    struct Entry {
        bool directory = false;
        std::string bytes;
        std::int64_t modified = 0;
        std::map<std::string, std::shared_ptr<Entry>> children;
    };
    // Where a path leads, as the platform's lookup finds it.
    struct Resolved {
        Entry* folder = nullptr; // null when a folder on the way is missing
        std::string name;        // the last component as given
        Entry* entry = nullptr;  // the matching entry, if any
    };
    struct Failure {
        Operation operation;
        std::string path;
        int errorNumber;
        int times; // for a read failure: the lines read before it
    };

    // Throws a failure that is due, else gives the path back.
    const std::string& begin(Operation operation, const std::string& path);
    Resolved resolve(const std::string& path);
    // The existing entry the path names; throws 53 or 76 when absent.
    Entry& existing(const std::string& path);
    // The existing file the path names; a folder throws 75.
    Entry& existingFile(const std::string& path);
    std::shared_ptr<Entry> sharedFile(const std::string& path);
    // The file a write goes to: the existing one, or a new one with the name
    // as given in an existing folder.
    Entry& writeTarget(const std::string& path);
    // The folder named exactly, made with the folders on the way if missing.
    Entry& folderMade(const std::string& path);
    // The entry named exactly below the root, or null.
    const Entry* exactEntry(const std::string& path) const;
    void written(Entry& file) { file.modified = clock_ += 1'000'000; }

    Entry root_{true, {}, 0, {}};
    std::int64_t clock_ = 1'900'000'000'000'000'000;
    std::vector<Failure> failures_;
    std::vector<Failure> readFailures_;
    std::vector<std::string> changes_;
};

// The file services the unit tests give the program.
using FakeFileSystem = MemoryFileSystem;

} // namespace kvl::test
