#pragma once

#include "platform/ProgramInfo.h"
#include "platform/posix/UniqueFd.h"

namespace kvl {

// One instance per user and program folder: an exclusive lock on a file named
// from the user id and the program folder, held for the life of the process.
class LockFileInstanceGuard : public InstanceGuard {
public:
    // The lock file goes into lockFolder, by default $XDG_RUNTIME_DIR or /tmp.
    explicit LockFileInstanceGuard(std::string programFolder, std::string lockFolder = {});
    bool anotherInstanceRunning() override;

    const std::string& lockFilePath() const { return lockFilePath_; }

private:
    std::string lockFilePath_;
    UniqueFd lock_;
};

} // namespace kvl
