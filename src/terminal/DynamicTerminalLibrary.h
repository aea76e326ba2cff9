#pragma once

#include "platform/FileSystem.h"
#include "platform/SharedLibrary.h"
#include "terminal/TerminalLibrary.h"

#include <map>
#include <memory>
#include <string>

namespace kvl {

// The name of the terminal library as the operator knows it: IAE17_LIBRARY
// when set, else the platform's file name for it ("libiae17.so", "Iae17.dll").
std::string terminalLibraryName(const LibraryLoader& loader);

// The terminal library loaded at run time by name, as a vendor's library
// would be: IAE17_LIBRARY when set, else the platform's file name for it in
// the program folder, else that name on the system's library search path. The library is loaded at
// the first call and each entry point is bound by name at its first call; failures are RunTimeError
// 53 (library) or 453 (entry point).
//
// IAE17AX_Free leaves the library loaded: a later call may still come, and a
// library that started threads of its own cannot be unloaded safely.
class DynamicTerminalLibrary : public TerminalLibrary {
public:
    DynamicTerminalLibrary(LibraryLoader& loader, FileSystem& files, std::string programFolder);

    // The library that is (or will be) loaded, by the lookup order above.
    std::string libraryPath() const;

    void IAE17AX_GetVersion(VersionBuffer& version) override;
    void IAE17AX_Free() override;
    short IAE17AX_InitEth(EthInitRecord& record) override;
    short IAE17AX_InitRS232(Rs232InitRecord& record) override;
    short call(Operation operation, PosRequest& request, POSDATA& answer) override;

private:
    void* entryPoint(const std::string& name);

    LibraryLoader& loader_;
    FileSystem& files_;
    std::string programFolder_;
    std::string loadedPath_;
    std::unique_ptr<SharedLibrary> library_;
    std::map<std::string, void*> bound_;
};

} // namespace kvl
