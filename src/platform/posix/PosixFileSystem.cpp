#include "platform/posix/PosixFileSystem.h"

#include "platform/LineSplitter.h"
#include "platform/posix/ErrorFromErrno.h"
#include "platform/posix/PathResolver.h"
#include "platform/posix/UniqueFd.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvl {

namespace {

RunTimeError notFound(const ResolvedPath& resolved, const std::string& path) {
    if (!resolved.folderFound)
        return RunTimeError(ErrorNumber::PathNotFound, "Path not found: " + path);
    return RunTimeError(ErrorNumber::FileNotFound, "File not found: " + path);
}

// The existing entry the path names, as a file on disk; throws when absent.
std::string existingEntry(const std::string& path) {
    ResolvedPath resolved = resolvePath(path);
    if (!resolved.exists)
        throw notFound(resolved, path);
    return resolved.actual;
}

// Where a file at the path is written: the existing entry, or a new one with
// the given name in the existing folder.
std::string writeTarget(const std::string& path) {
    ResolvedPath resolved = resolvePath(path);
    if (!resolved.folderFound || resolved.name.empty())
        throw notFound(resolved, path);
    return resolved.actual;
}

bool statusOf(const std::string& path, struct stat& status) {
    ResolvedPath resolved = resolvePath(path);
    return resolved.exists && ::stat(resolved.actual.c_str(), &status) == 0;
}

UniqueFd openFile(const std::string& actual, int flags, const std::string& path) {
    int fd;
    do {
        fd = ::open(actual.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw errorFromErrno(errno, path);
    return UniqueFd(fd);
}

UniqueFd openForInput(const std::string& path) {
    UniqueFd fd = openFile(existingEntry(path), O_RDONLY, path);
    struct stat status {};
    if (::fstat(fd.get(), &status) == 0 && S_ISDIR(status.st_mode))
        throw errorFromErrno(EISDIR, path);
    return fd;
}

// Writes all the bytes; a single write(2) unless the system takes fewer.
void writeAll(int fd, const std::string& bytes, const std::string& path) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            throw errorFromErrno(errno, path);
        }
        written += static_cast<std::size_t>(count);
    }
}

void syncFile(int fd, const std::string& path) {
    if (::fsync(fd) != 0)
        throw errorFromErrno(errno, path);
}

std::string folderOf(const std::string& actual) {
    const std::size_t slash = actual.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : actual.substr(0, slash);
}

// A new or renamed entry is on the disk only once its folder is.
void syncFolder(const std::string& actual, const std::string& path) {
    UniqueFd folder(::open(folderOf(actual).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        throw errorFromErrno(errno, path);
    // Some file systems cannot sync a folder; their entries are as safe as
    // they can be made.
    if (::fsync(folder.get()) != 0 && errno != EINVAL && errno != EROFS)
        throw errorFromErrno(errno, path);
}

// The file a symbolic link leads to, followed link by link, so that writing
// it replaces the file and leaves the link in place. A link that leads
// nowhere names the file to create.
std::string linkTarget(std::string actual) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status {};
        if (::lstat(actual.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return actual;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(actual.c_str(), target.data(), target.size());
        if (length < 0)
            return actual;
        target.resize(static_cast<std::size_t>(length));
        actual = target.front() == '/' ? target : folderOf(actual) + "/" + target;
    }
    return actual;
}

FileIdentity identityOf(const struct stat& status) {
    FileIdentity identity;
    identity.size = static_cast<std::uint64_t>(status.st_size);
    identity.modifiedNanoseconds =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
    return identity;
}

// Opens the file for appending, creating it when missing; `created` tells
// whether this call made it, so that a failed first write can take it away.
UniqueFd openForAppending(const std::string& target, const std::string& path, bool& created) {
    constexpr int flags = O_WRONLY | O_APPEND | O_CLOEXEC;
    for (int attempt = 0;; ++attempt) {
        int fd = ::open(target.c_str(), flags);
        if (fd >= 0)
            return UniqueFd(fd);
        if (errno == EINTR)
            continue;
        if (errno != ENOENT)
            throw errorFromErrno(errno, path);
        // A link that leads nowhere exists without its file: after a few
        // tries the file is made without telling who made it.
        const int exclusive = attempt < 3 ? O_EXCL : 0;
        fd = ::open(target.c_str(), flags | O_CREAT | exclusive, 0666);
        if (fd >= 0) {
            created = exclusive != 0;
            return UniqueFd(fd);
        }
        if (errno != EEXIST && errno != EINTR)
            throw errorFromErrno(errno, path);
    }
}

class FdByteReader : public ByteReader {
public:
    FdByteReader(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

    std::size_t read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t count = ::read(fd_.get(), buffer, size);
            if (count >= 0)
                return static_cast<std::size_t>(count);
            if (errno != EINTR)
                throw errorFromErrno(errno, path_);
        }
    }
    void seek(std::uint64_t offset) override {
        if (::lseek(fd_.get(), static_cast<off_t>(offset), SEEK_SET) < 0)
            throw errorFromErrno(errno, path_);
    }
    FileIdentity identity() override {
        struct stat status {};
        if (::fstat(fd_.get(), &status) != 0)
            throw errorFromErrno(errno, path_);
        return identityOf(status);
    }

private:
    UniqueFd fd_;
    std::string path_;
};

} // namespace

bool PosixFileSystem::fileExists(const std::string& path) {
    struct stat status {};
    return statusOf(path, status) && S_ISREG(status.st_mode);
}

bool PosixFileSystem::entryExists(const std::string& path) {
    return path.empty() || resolvePath(path).exists;
}

bool PosixFileSystem::isDirectory(const std::string& path) {
    struct stat status {};
    return statusOf(path, status) && S_ISDIR(status.st_mode);
}

void PosixFileSystem::deleteFile(const std::string& path) {
    if (::unlink(existingEntry(path).c_str()) != 0)
        throw errorFromErrno(errno, path);
}

std::unique_ptr<LineReader> PosixFileSystem::openForReading(const std::string& path) {
    return std::make_unique<LineSplitter>(openBytes(path));
}

std::unique_ptr<ByteReader> PosixFileSystem::openBytes(const std::string& path) {
    return std::make_unique<FdByteReader>(openForInput(path), path);
}

void PosixFileSystem::append(const std::string& path, const std::string& bytes) {
    const std::string target = writeTarget(path);
    bool created = false;
    UniqueFd fd = openForAppending(target, path, created);
    struct stat before {};
    const bool sizeKnown = ::fstat(fd.get(), &before) == 0;
    try {
        writeAll(fd.get(), bytes, path);
        syncFile(fd.get(), path);
        if (created)
            syncFolder(target, path);
    } catch (const RunTimeError&) {
        // Half a block (disk full), or an empty file, would be read as an
        // answer: the file goes back to what it was.
        if (created)
            ::unlink(target.c_str());
        else if (sizeKnown && ::ftruncate(fd.get(), before.st_size) == 0)
            ::fsync(fd.get());
        throw;
    }
}

void PosixFileSystem::writeWhole(const std::string& path, const std::string& bytes) {
    // Written beside the file and renamed over it, so that a failure part-way
    // (disk full) leaves the old content in place instead of a cut one.
    const std::string target = linkTarget(writeTarget(path));
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string temporary = folder + "." + name + ".new";
    try {
        UniqueFd fd = openFile(temporary, O_WRONLY | O_CREAT | O_TRUNC, path);
        writeAll(fd.get(), bytes, path);
        syncFile(fd.get(), path);
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            throw errorFromErrno(errno, path);
    } catch (const RunTimeError&) {
        ::unlink(temporary.c_str());
        throw;
    }
    syncFolder(target, path);
}

FileIdentity PosixFileSystem::identity(const std::string& path) {
    struct stat status {};
    if (::stat(existingEntry(path).c_str(), &status) != 0)
        throw errorFromErrno(errno, path);
    return identityOf(status);
}

} // namespace kvl
