#pragma once

#include "platform/SharedLibrary.h"

namespace kvl {

// A shared library opened with dlopen, closed when the object goes.
class DlSharedLibrary : public SharedLibrary {
public:
    explicit DlSharedLibrary(void* handle) : handle_(handle) {}
    ~DlSharedLibrary() override;
    DlSharedLibrary(const DlSharedLibrary&) = delete;
    DlSharedLibrary& operator=(const DlSharedLibrary&) = delete;
    void* symbol(const std::string& name) override;

private:
    void* handle_;
};

// Loads with dlopen; a library named N is the file libn.so (lower case).
class DlLibraryLoader : public LibraryLoader {
public:
    std::unique_ptr<SharedLibrary> load(const std::string& path) override;
    std::string fileName(const std::string& name) const override;
};

} // namespace kvl
