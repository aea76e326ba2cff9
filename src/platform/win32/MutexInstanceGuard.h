#pragma once

#include "platform/ProgramInfo.h"
#include "platform/win32/UniqueHandle.h"

#include <string>

namespace kvl {

// One instance per program folder on the machine: a named mutex in the global
// namespace, named from the folder (compared without regard to case, as the
// system compares paths), held for the life of the process. Global, so that
// two users' sessions cannot both poll the same command file.
class MutexInstanceGuard : public InstanceGuard {
public:
    explicit MutexInstanceGuard(const std::string& programFolder);
    bool anotherInstanceRunning() override;

    const std::string& mutexName() const { return name_; }

private:
    std::string name_;
    UniqueHandle mutex_;
};

} // namespace kvl
