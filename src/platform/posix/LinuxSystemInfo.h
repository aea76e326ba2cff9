#pragma once

#include "platform/ProgramInfo.h"

namespace kvl {

// Linux is not the NT platform: the version record carries the kernel release
// with platform identifier 0. The application-data folder is the user's data
// folder ($XDG_DATA_HOME, else ~/.local/share).
class LinuxSystemInfo : public SystemInfo {
public:
    Version osVersion() override;
    std::string commonAppDataFolder() override;
};

// The leading "major.minor.build" numbers of a kernel release text.
SystemInfo::Version versionFromRelease(const std::string& release);

} // namespace kvl
