#include "platform/posix/PosixFileSystem.h"

#include "platform/posix/ErrorFromErrno.h"
#include "platform/posix/FileLineReader.h"
#include "platform/posix/PathResolver.h"
#include "platform/posix/UniqueFd.h"

#include <cerrno>
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

bool truncateTo(int fd, off_t size) {
    return ::ftruncate(fd, size) == 0;
}

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
    return std::make_unique<FileLineReader>(openForInput(path), path);
}

void PosixFileSystem::append(const std::string& path, const std::string& bytes) {
    UniqueFd fd = openFile(writeTarget(path), O_WRONLY | O_APPEND | O_CREAT, path);
    struct stat before {};
    bool sizeKnown = ::fstat(fd.get(), &before) == 0;
    try {
        writeAll(fd.get(), bytes, path);
    } catch (const RunTimeError&) {
        // A block cut short (disk full) would leave half a block for the
        // reader; take the part that was written back out.
        if (sizeKnown)
            truncateTo(fd.get(), before.st_size);
        throw;
    }
}

void PosixFileSystem::writeWhole(const std::string& path, const std::string& bytes) {
    // Written beside the file and renamed over it, so that a failure part-way
    // (disk full) leaves the old content in place instead of a cut one.
    const std::string target = writeTarget(path);
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string temporary = folder + "." + name + ".new";
    try {
        UniqueFd fd = openFile(temporary, O_WRONLY | O_CREAT | O_TRUNC, path);
        writeAll(fd.get(), bytes, path);
        if (::fsync(fd.get()) != 0)
            throw errorFromErrno(errno, path);
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            throw errorFromErrno(errno, path);
    } catch (const RunTimeError&) {
        ::unlink(temporary.c_str());
        throw;
    }
}

FileIdentity PosixFileSystem::identity(const std::string& path) {
    struct stat status {};
    if (::stat(existingEntry(path).c_str(), &status) != 0)
        throw errorFromErrno(errno, path);
    FileIdentity identity;
    identity.size = static_cast<std::uint64_t>(status.st_size);
    identity.modifiedNanoseconds =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
    return identity;
}

std::string PosixFileSystem::readAll(const std::string& path) {
    UniqueFd fd = openForInput(path);
    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        ssize_t count = ::read(fd.get(), chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            throw errorFromErrno(errno, path);
        }
        if (count == 0)
            return bytes;
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
}

} // namespace kvl
