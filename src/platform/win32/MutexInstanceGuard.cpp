#include "platform/win32/MutexInstanceGuard.h"

#include "platform/Text.h"

#include <cstdint>
#include <cstdio>
#include <windows.h>

namespace kvl {

namespace {

// FNV-1a: a stable short name for a folder path of any length (a mutex name
// may not hold backslashes).
std::uint64_t hashOf(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The folder as one spelling: upper case, '/' as '\', no trailing separator.
std::string canonicalFolder(const std::string& folder) {
    std::string canonical = text::upperCase(folder);
    for (char& c : canonical)
        if (c == '/')
            c = '\\';
    while (canonical.size() > 3 && canonical.back() == '\\')
        canonical.pop_back();
    return canonical;
}

} // namespace

MutexInstanceGuard::MutexInstanceGuard(const std::string& programFolder) {
    char name[64];
    std::snprintf(name, sizeof name, "Global\\KvlTalvioPos-%016llx",
                  static_cast<unsigned long long>(hashOf(canonicalFolder(programFolder))));
    name_ = name;
}

bool MutexInstanceGuard::anotherInstanceRunning() {
    if (mutex_.valid())
        return false;
    UniqueHandle mutex(::CreateMutexA(nullptr, FALSE, name_.c_str()));
    const DWORD error = ::GetLastError();
    // Another user's instance made it with rights that do not let us open it.
    if (!mutex.valid())
        return error == ERROR_ACCESS_DENIED;
    if (error == ERROR_ALREADY_EXISTS)
        return true;
    mutex_ = std::move(mutex);
    return false;
}

} // namespace kvl
