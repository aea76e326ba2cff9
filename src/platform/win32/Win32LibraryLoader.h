#pragma once

#include "platform/SharedLibrary.h"

#include <windows.h>

namespace kvl {

// A DLL loaded with LoadLibraryA, freed when the object goes.
class Win32SharedLibrary : public SharedLibrary {
public:
    explicit Win32SharedLibrary(HMODULE module) : module_(module) {}
    ~Win32SharedLibrary() override;
    Win32SharedLibrary(const Win32SharedLibrary&) = delete;
    Win32SharedLibrary& operator=(const Win32SharedLibrary&) = delete;
    void* symbol(const std::string& name) override;

private:
    HMODULE module_;
};

// Loads with LoadLibraryA and binds entry points by name with GetProcAddress;
// a library named N is the file N.dll. A missing library (or one it needs)
// is error 53, one that cannot be loaded (another architecture, a failing
// initialisation) error 48.
class Win32LibraryLoader : public LibraryLoader {
public:
    std::unique_ptr<SharedLibrary> load(const std::string& path) override;
    std::string fileName(const std::string& name) const override { return name + ".dll"; }
};

} // namespace kvl
