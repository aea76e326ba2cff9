#include "platform/win32/Win32FileSystem.h"

#include "platform/LineSplitter.h"
#include "platform/win32/FileTime.h"
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

// Others may read, write and delete the file while it is read, as on the
// systems where an open file can be unlinked: what was read stays the version
// that was opened, and the program itself deletes the command file it has
// just read while its reader is still open.
UniqueHandle openForInput(const std::string& path) {
    requireFile(path);
    return openHandle(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
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

FileIdentity identityOf(DWORD sizeHigh, DWORD sizeLow, const FILETIME& written) {
    FileIdentity identity;
    identity.size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
    identity.modifiedNanoseconds = unixNanosecondsOf(written);
    return identity;
}

class HandleByteReader : public ByteReader {
public:
    HandleByteReader(UniqueHandle file, std::string path)
        : file_(std::move(file)), path_(std::move(path)) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const DWORD asked = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD count = 0;
        if (!::ReadFile(file_.get(), buffer, asked, &count, nullptr))
            throw errorFromWin32(::GetLastError(), path_);
        return count;
    }
    void seek(std::uint64_t offset) override {
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!::SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN))
            throw errorFromWin32(::GetLastError(), path_);
    }
    FileIdentity identity() override {
        BY_HANDLE_FILE_INFORMATION information{};
        if (!::GetFileInformationByHandle(file_.get(), &information))
            throw errorFromWin32(::GetLastError(), path_);
        return identityOf(information.nFileSizeHigh, information.nFileSizeLow,
                          information.ftLastWriteTime);
    }

private:
    UniqueHandle file_;
    std::string path_;
};

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
    return std::make_unique<LineSplitter>(openBytes(path));
}

std::unique_ptr<ByteReader> Win32FileSystem::openBytes(const std::string& path) {
    return std::make_unique<HandleByteReader>(openForInput(path), path);
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
    return identityOf(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
}

} // namespace kvl
