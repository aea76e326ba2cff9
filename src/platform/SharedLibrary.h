#pragma once

#include <memory>
#include <string>

// The calling convention of a loaded library's C entry points: the platform's
// standard one (__stdcall) on 32-bit Windows, the default elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define KVL_STDCALL __stdcall
#else
#define KVL_STDCALL
#endif

namespace kvl {

class SharedLibrary {
public:
    virtual ~SharedLibrary() = default;
    // The address of the named symbol, or nullptr when the library lacks it.
    virtual void* symbol(const std::string& name) = 0;
};

class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    // Loads the library at the path (or by bare name from the system search
    // path); throws RunTimeError 53 with the loader's reason when it cannot.
    virtual std::unique_ptr<SharedLibrary> load(const std::string& path) = 0;
    // The file name the platform gives the library of that name
    // ("Iae17" is "libiae17.so" on Linux, "Iae17.dll" on Windows).
    virtual std::string fileName(const std::string& name) const = 0;
};

} // namespace kvl
