#include "platform/win32/Win32Error.h"

#include <windows.h>

namespace kvl {

namespace {

// Numbers of the platform's run-time errors that only file access on Windows
// gives.
constexpr int BadFileName = 52;
constexpr int DiskFull = 61;
constexpr int TooManyFiles = 67;
constexpr int DiskNotReady = 71;

struct Mapping {
    int number;
    const char* name;
};

Mapping mappingOf(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return {ErrorNumber::FileNotFound, "File not found"};
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        return {ErrorNumber::PathNotFound, "Path not found"};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {ErrorNumber::PermissionDenied, "Permission denied"};
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return {BadFileName, "Bad file name or number"};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {DiskFull, "Disk full"};
    case ERROR_TOO_MANY_OPEN_FILES:
        return {TooManyFiles, "Too many files"};
    case ERROR_NOT_READY:
        return {DiskNotReady, "Disk not ready"};
    default:
        // Access denied, a write-protected medium, a directory where a file
        // was expected and every other failure of a file's access.
        return {ErrorNumber::PathFileAccess, "Path/File access error"};
    }
}

} // namespace

std::string systemMessage(unsigned long code) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 && buffer ? std::string(buffer, length) : std::string();
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "system error " + std::to_string(code);
    return text;
}

RunTimeError errorFromWin32(unsigned long code, const std::string& path) {
    const Mapping mapping = mappingOf(code);
    std::string description = std::string(mapping.name) + " (" + systemMessage(code) + ")";
    if (!path.empty())
        description += ": " + path;
    return RunTimeError(mapping.number, description);
}

} // namespace kvl
