#pragma once

#include "platform/ProgramInfo.h"

namespace kvl {

// The version record of GetVersionExA and the common application-data folder
// of SHGetSpecialFolderPathA (CSIDL 35, created when missing). What version
// the system reports depends on the program's manifest: ours names every
// Windows up to 10 as supported, so each reports its own version.
class Win32SystemInfo : public SystemInfo {
public:
    Version osVersion() override;
    std::string commonAppDataFolder() override;
};

} // namespace kvl
