#include "platform/posix/ErrorFromErrno.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace kvl {

namespace {

// Whether the folder that would hold the path exists; decides between a
// missing file and a missing path.
bool containingFolderExists(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return true;
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

RunTimeError errorFromErrno(int errnoValue, const std::string& path) {
    int number = ErrorNumber::PathFileAccess;
    const char* name = "Path/File access error";
    switch (errnoValue) {
    case ENOENT:
        if (containingFolderExists(path)) {
            number = ErrorNumber::FileNotFound;
            name = "File not found";
        } else {
            number = ErrorNumber::PathNotFound;
            name = "Path not found";
        }
        break;
    case ENOTDIR:
        number = ErrorNumber::PathNotFound;
        name = "Path not found";
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = ErrorNumber::PermissionDenied;
        name = "Permission denied";
        break;
    default:
        break;
    }
    std::string description = std::string(name) + " (" + std::strerror(errnoValue) + ")";
    if (!path.empty())
        description += ": " + path;
    return RunTimeError(number, description);
}

} // namespace kvl
