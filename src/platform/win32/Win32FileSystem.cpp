#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/HandleLineReader.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"

#include <windows.h>

namespace kvl {

namespace {

constexpr DWORD HiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool isSlash(char c) {
    return c == '\\' || c == '/';
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "C:" or "C:\": a drive and nothing else. The root directory of a drive is
// marked hidden and system on Windows, yet it is what a drive check asks for.
bool isDriveRoot(const std::string& path) {
    return (path.size() == 2 || (path.size() == 3 && isSlash(path[2]))) && isLetter(path[0]) &&
           path[1] == ':';
}

bool driveExists(const std::string& path) {
    const std::string root = path.substr(0, 2) + "\\";
    return ::GetDriveTypeA(root.c_str()) != DRIVE_NO_ROOT_DIR;
}

// The attributes of an entry, or the system's error when there is none.
struct Attributes {
    DWORD value = INVALID_FILE_ATTRIBUTES;
    DWORD error = ERROR_SUCCESS;
    bool found() const { return value != INVALID_FILE_ATTRIBUTES; }
    bool directory() const { return found() && (value & FILE_ATTRIBUTE_DIRECTORY); }
    bool hidden() const { return found() && (value & HiddenOrSystem); }
    bool refusesWriting() const {
        return found() && (value & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    }
};

Attributes attributesOf(const std::string& path) {
    Attributes attributes;
    attributes.value = ::GetFileAttributesA(path.c_str());
    if (!attributes.found())
        attributes.error = ::GetLastError();
    return attributes;
}

// The normal file at the path; throws as the system would for a missing one
// when there is none, or when it is hidden or a directory.
void requireFile(const std::string& path) {
    const Attributes attributes = attributesOf(path);
    if (!attributes.found())
        throw errorFromWin32(attributes.error, path);
    if (attributes.hidden())
        throw errorFromWin32(ERROR_FILE_NOT_FOUND, path);
    if (attributes.directory())
        throw errorFromWin32(ERROR_ACCESS_DENIED, path);
}

UniqueHandle openHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition,
                        DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    UniqueHandle file(
        ::CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr));
    if (!file.valid())
        throw errorFromWin32(::GetLastError(), path);
    return file;
}

UniqueHandle openForInput(const std::string& path) {
    requireFile(path);
    return openHandle(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                      FILE_FLAG_SEQUENTIAL_SCAN);
}

// Writes all the bytes; WriteFile takes at most 4 GiB a call.
void writeAll(HANDLE file, const std::string& bytes, const std::string& path) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const std::size_t rest = bytes.size() - written;
        const DWORD chunk = rest > 0x40000000 ? 0x40000000 : static_cast<DWORD>(rest);
        DWORD count = 0;
        if (!::WriteFile(file, bytes.data() + written, chunk, &count, nullptr))
            throw errorFromWin32(::GetLastError(), path);
        written += count;
    }
}

void flush(HANDLE file, const std::string& path) {
    if (!::FlushFileBuffers(file))
        throw errorFromWin32(::GetLastError(), path);
}

bool hasWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

// The path with its last component spelled as the existing entry spells it,
// so that a rewritten file keeps its name; the path as given otherwise.
std::string existingSpelling(const std::string& path) {
    if (hasWildcard(path))
        return path;
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return path;
    ::FindClose(search);
    const std::size_t slash = path.find_last_of("\\/:");
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
           found.cFileName;
}

std::int64_t nanosecondsOf(const FILETIME& time) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks) * 100;
}

} // namespace

bool Win32FileSystem::fileExists(const std::string& path) {
    const Attributes attributes = attributesOf(path);
    return attributes.found() && !attributes.directory() && !attributes.hidden();
}

bool Win32FileSystem::entryExists(const std::string& path) {
    if (path.empty())
        return true;
    if (isDriveRoot(path))
        return driveExists(path);
    const Attributes attributes = attributesOf(path);
    return attributes.found() && !attributes.hidden();
}

bool Win32FileSystem::isDirectory(const std::string& path) {
    return attributesOf(path).directory();
}

void Win32FileSystem::deleteFile(const std::string& path) {
    requireFile(path);
    if (!::DeleteFileA(path.c_str()))
        throw errorFromWin32(::GetLastError(), path);
}

std::unique_ptr<LineReader> Win32FileSystem::openForReading(const std::string& path) {
    return std::make_unique<HandleLineReader>(openForInput(path), path);
}

void Win32FileSystem::append(const std::string& path, const std::string& bytes) {
    // A directory, or a read-only file (which some file systems would let a
    // privileged user open for writing), is refused as Windows refuses it.
    if (attributesOf(path).refusesWriting())
        throw errorFromWin32(ERROR_ACCESS_DENIED, path);
    UniqueHandle file = openHandle(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    const bool created = ::GetLastError() != ERROR_ALREADY_EXISTS;
    LARGE_INTEGER size{};
    const bool sizeKnown = ::GetFileSizeEx(file.get(), &size) != 0;
    try {
        LARGE_INTEGER end{};
        if (!::SetFilePointerEx(file.get(), end, nullptr, FILE_END))
            throw errorFromWin32(::GetLastError(), path);
        writeAll(file.get(), bytes, path);
        flush(file.get(), path);
    } catch (const RunTimeError&) {
        // A block cut short (disk full) would leave half a block for the
        // reader: take the part that was written back out, or the file that
        // this append made.
        if (created) {
            file.reset();
            ::DeleteFileA(path.c_str());
        } else if (sizeKnown && ::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN)) {
            ::SetEndOfFile(file.get());
        }
        throw;
    }
}

void Win32FileSystem::writeWhole(const std::string& path, const std::string& bytes) {
    // Written beside the file and moved over it, so that a failure part-way
    // (disk full) leaves the old content in place instead of a cut one.
    const std::string target = existingSpelling(path);
    const std::string temporary = target + ".new";
    // Replacing by a move would get past a read-only file's protection.
    if (attributesOf(target).refusesWriting())
        throw errorFromWin32(ERROR_ACCESS_DENIED, path);
    try {
        {
            UniqueHandle file = openHandle(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS);
            writeAll(file.get(), bytes, path);
            flush(file.get(), path);
        }
        if (!::MoveFileExA(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw errorFromWin32(::GetLastError(), path);
    } catch (const RunTimeError&) {
        ::DeleteFileA(temporary.c_str());
        throw;
    }
}

FileIdentity Win32FileSystem::identity(const std::string& path) {
    requireFile(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        throw errorFromWin32(::GetLastError(), path);
    FileIdentity identity;
    identity.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    identity.modifiedNanoseconds = nanosecondsOf(data.ftLastWriteTime);
    return identity;
}

std::string Win32FileSystem::readAll(const std::string& path) {
    UniqueHandle file = openForInput(path);
    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        DWORD count = 0;
        if (!::ReadFile(file.get(), chunk, sizeof chunk, &count, nullptr))
            throw errorFromWin32(::GetLastError(), path);
        if (count == 0)
            return bytes;
        bytes.append(chunk, count);
    }
}

} // namespace kvl
