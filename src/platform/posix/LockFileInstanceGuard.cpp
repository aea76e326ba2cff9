#include "platform/posix/LockFileInstanceGuard.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvl {

namespace {

std::string defaultLockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat status {};
    if (runtime && runtime[0] == '/' && ::stat(runtime, &status) == 0 && S_ISDIR(status.st_mode))
        return runtime;
    return "/tmp";
}

// FNV-1a: a stable short name for a folder path of any length.
std::uint64_t hashOf(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

LockFileInstanceGuard::LockFileInstanceGuard(std::string programFolder, std::string lockFolder) {
    if (lockFolder.empty())
        lockFolder = defaultLockFolder();
    char name[96];
    std::snprintf(name, sizeof name, "KvlTalvioPos-%u-%016llx.lock",
                  static_cast<unsigned>(::getuid()),
                  static_cast<unsigned long long>(hashOf(programFolder)));
    lockFilePath_ = lockFolder + "/" + name;
}

bool LockFileInstanceGuard::anotherInstanceRunning() {
    if (lock_.valid())
        return false;
    // No link is followed: the lock folder may be shared with other users.
    UniqueFd fd(::open(lockFilePath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid())
        return false; // without a lock file the program still runs
    int result;
    do {
        result = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0)
        return errno == EWOULDBLOCK;
    lock_ = std::move(fd);
    return false;
}

} // namespace kvl
