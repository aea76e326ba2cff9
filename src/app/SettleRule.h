#pragma once

#include "app/CommandFileVersion.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace kvl {

// When a command file may be read: once it has stood still long enough that
// the ECR has finished writing it. A file whose last line is finished must
// keep its size and time for 100 ms, one that is still missing its line end
// for 2 s. A file whose own time stamp is already older than that is read at
// once; otherwise two looks that far apart must agree.
class SettleRule {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::milliseconds finishedLineTime{100};
    static constexpr std::chrono::milliseconds unfinishedLineTime{2000};

    static std::chrono::milliseconds settleTime(const CommandFileLook& look) {
        return look.lineFinished ? finishedLineTime : unfinishedLineTime;
    }

    // The file's time stamp says it has not changed for the settle time.
    // Stamps in whole seconds (network shares, FAT) are taken as late as they
    // could be, so that a file still being written never looks old.
    static bool stoodStill(const CommandFileLook& look, std::int64_t wallNanoseconds);

    // Records a look. True when an earlier look, at least the settle time
    // before this one, saw the same file.
    bool settled(const CommandFileLook& look, TimePoint now);
    void forget() { looked_.reset(); }

private:
    std::optional<CommandFileLook> looked_;
    TimePoint lookedSince_{};
};

} // namespace kvl
