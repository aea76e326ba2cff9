#include "platform/posix/DlLibraryLoader.h"

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

std::string DlLibraryLoader::fileName(const std::string& name) const {
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return "lib" + lower + ".so";
}

} // namespace kvl
