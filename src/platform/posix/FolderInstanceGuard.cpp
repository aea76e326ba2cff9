#include "platform/posix/FolderInstanceGuard.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace kvl {

FolderInstanceGuard::FolderInstanceGuard(std::string programFolder)
    : folder_(std::move(programFolder)) {}

bool FolderInstanceGuard::anotherInstanceRunning() {
    if (lock_.valid())
        return false;
    UniqueFd fd(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return false; // a folder that cannot be opened cannot be shared either
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
