#include "platform/win32/Win32SystemInfo.h"

#include "platform/win32/Win32Error.h"

#include <cstring>
#include <windows.h>

#include <shlobj.h>

namespace kvl {

namespace {
constexpr int CommonAppData = 35; // CSIDL_COMMON_APPDATA
constexpr std::size_t FolderBufferSize = 255;
} // namespace

SystemInfo::Version Win32SystemInfo::osVersion() {
    OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = sizeof record; // 148
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const BOOL known = ::GetVersionExA(&record);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    if (!known)
        throw errorFromWin32(::GetLastError(), "GetVersionExA");
    Version version;
    version.major = record.dwMajorVersion;
    version.minor = record.dwMinorVersion;
    version.build = record.dwBuildNumber;
    version.platformId = record.dwPlatformId;
    return version;
}

std::string Win32SystemInfo::commonAppDataFolder() {
    // A buffer of blanks: a call that leaves no NUL in it gave no path.
    char buffer[FolderBufferSize + MAX_PATH];
    std::memset(buffer, ' ', sizeof buffer);
    if (!::SHGetSpecialFolderPathA(nullptr, buffer, CommonAppData, TRUE))
        return {};
    const void* end = std::memchr(buffer, '\0', FolderBufferSize);
    return end ? std::string(buffer, static_cast<const char*>(end) - buffer) : std::string();
}

} // namespace kvl
