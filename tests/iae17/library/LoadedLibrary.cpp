#include "LoadedLibrary.h"

#include <dlfcn.h>
#include <stdexcept>

namespace iae17::test {

const LoadedLibrary& LoadedLibrary::get() {
    static const LoadedLibrary library = [] {
        LoadedLibrary loaded;
        loaded.handle_ = ::dlopen(IAE17_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (loaded.handle_ == nullptr) {
            throw std::runtime_error(::dlerror());
        }
        loaded.getVersion = reinterpret_cast<Version>(loaded.find("IAE17AX_GetVersion"));
        loaded.free = reinterpret_cast<Free>(loaded.find("IAE17AX_Free"));
        loaded.initEth = reinterpret_cast<Init>(loaded.find("IAE17AX_InitEth"));
        loaded.initRs232 = reinterpret_cast<Init>(loaded.find("IAE17AX_InitRS232"));
        loaded.payment = reinterpret_cast<Operation>(loaded.find("IAE17AX_Payment"));
        loaded.voidOperation = reinterpret_cast<Operation>(loaded.find("IAE17AX_Void"));
        loaded.status = reinterpret_cast<Operation>(loaded.find("IAE17AX_Status"));
        loaded.closure = reinterpret_cast<Operation>(loaded.find("IAE17AX_Closure"));
        return loaded;
    }();
    return library;
}

void* LoadedLibrary::find(const char* name) const {
    return ::dlsym(handle_, name);
}

std::string ethInitImage(int port) {
    std::string image = "127.0.0.1";
    image.resize(16, ' ');
    image += std::to_string(port);
    image.resize(22, ' ');
    return image;
}

} // namespace iae17::test
