#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kvl {

// The folders and name of a path, in order; empty components and "." are
// left out.
std::vector<std::string> pathComponents(const std::string& path, char separator);

// Reads a file as lines over bytes: a line ends at CR LF, at a lone CR or at a
// lone LF, as the platform the program was designed for reads them. The last
// line may lack its line end. Throws RunTimeError when the underlying read
// fails part-way.
class LineReader {
public:
    virtual ~LineReader() = default;
    virtual std::optional<std::string> readLine() = 0;
};

// What identifies one version of a file: used to tell a command file that was
// already processed from a new one, and a file still being written from a
// complete one.
struct FileIdentity {
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileIdentity& other) const {
        return size == other.size && modifiedNanoseconds == other.modifiedNanoseconds;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// An open file read as bytes. What it reads and the identity it gives are
// those of the file that was opened, whatever the path names later.
class ByteReader {
public:
    virtual ~ByteReader() = default;
    // Reads up to `size` bytes at the current position; 0 at the end.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    virtual void seek(std::uint64_t offset) = 0;
    virtual FileIdentity identity() = 0;
};

// The file services the program uses, with the name matching of the platform
// it was designed for: every component of a path is matched without regard to
// case (an exact match wins), and a name beginning with '.' counts as absent.
// Failures throw RunTimeError with the numbers of RunTimeError.h. The path
// rules (which characters separate folders) are those of the implementation.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The separator new paths are joined with.
    virtual char separator() const = 0;
    // Whether the character separates folders in a path given to this file
    // system.
    virtual bool isSeparator(char c) const = 0;
    // Joins a folder and a name; a folder that already ends with a separator
    // (a root) gets no second one.
    std::string joinPath(const std::string& folder, const std::string& name) const;
    // "Contains a folder separator": a path that names its own folder.
    bool containsSeparator(const std::string& path) const;

    // A normal file (not a directory) exists at the path.
    virtual bool fileExists(const std::string& path) = 0;
    // A directory lookup that includes directory entries yields an entry.
    // The empty path (an empty drive root) counts as present.
    virtual bool entryExists(const std::string& path) = 0;
    // The path names an existing directory.
    virtual bool isDirectory(const std::string& path) = 0;

    virtual void deleteFile(const std::string& path) = 0;
    virtual std::unique_ptr<LineReader> openForReading(const std::string& path) = 0;
    virtual std::unique_ptr<ByteReader> openBytes(const std::string& path) = 0;
    // Appends the bytes with one write, creating the file when missing, and
    // returns once they are on the disk. A failed append leaves the file as
    // it was.
    virtual void append(const std::string& path, const std::string& bytes) = 0;
    // Replaces the file's content with the bytes, on the disk when it returns;
    // a failure leaves the old content whole. A symbolic link stays a link:
    // its target is written.
    virtual void writeWhole(const std::string& path, const std::string& bytes) = 0;
    virtual FileIdentity identity(const std::string& path) = 0;
    // Reads the whole file (through openBytes unless a file system knows
    // better).
    virtual std::string readAll(const std::string& path);
};

} // namespace kvl
