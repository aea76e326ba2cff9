#include "platform/DlLibraryLoader.h"

#include "platform/RunTimeError.h"

#include <dlfcn.h>

namespace kvl {

DlSharedLibrary::~DlSharedLibrary() {
    ::dlclose(handle_);
}

void* DlSharedLibrary::symbol(const std::string& name) {
    return ::dlsym(handle_, name.c_str());
}

std::unique_ptr<SharedLibrary> DlLibraryLoader::load(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = ::dlerror();
        throw RunTimeError(ErrorNumber::FileNotFound,
                           "File not found: " + std::string(reason ? reason : path));
    }
    return std::make_unique<DlSharedLibrary>(handle);
}

} // namespace kvl
