#pragma once

#include "platform/ProgramInfo.h"
#include "platform/posix/UniqueFd.h"

#include <string>

namespace kvl {

// One instance per program folder: an exclusive lock on the folder itself,
// held for the life of the process. The folder is opened read-only, so no
// write access to it is needed; every process that runs from it finds the
// lock whatever its user or environment, and the kernel releases it when the
// process ends. Nothing is left behind.
class FolderInstanceGuard : public InstanceGuard {
public:
    explicit FolderInstanceGuard(std::string programFolder);
    bool anotherInstanceRunning() override;

private:
    std::string folder_;
    UniqueFd lock_;
};

} // namespace kvl
