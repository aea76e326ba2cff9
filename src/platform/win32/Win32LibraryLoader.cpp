#include "platform/win32/Win32LibraryLoader.h"

#include "platform/RunTimeError.h"
#include "platform/win32/Win32Error.h"

namespace kvl {

namespace {
constexpr int ErrorInLoadingDll = 48;
}

Win32SharedLibrary::~Win32SharedLibrary() {
    ::FreeLibrary(module_);
}

void* Win32SharedLibrary::symbol(const std::string& name) {
    return reinterpret_cast<void*>(::GetProcAddress(module_, name.c_str()));
}

std::unique_ptr<SharedLibrary> Win32LibraryLoader::load(const std::string& path) {
    // No "insert a disk" or "entry point not found" dialog: failures come back
    // as errors.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = ::LoadLibraryA(path.c_str());
    const DWORD error = ::GetLastError();
    ::SetErrorMode(previous);
    if (module)
        return std::make_unique<Win32SharedLibrary>(module);
    if (error == ERROR_MOD_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ||
        error == ERROR_PATH_NOT_FOUND)
        throw RunTimeError(ErrorNumber::FileNotFound,
                           "File not found: " + path + " (" + systemMessage(error) + ")");
    throw RunTimeError(ErrorInLoadingDll,
                       "Error in loading DLL: " + path + " (" + systemMessage(error) + ")");
}

} // namespace kvl
