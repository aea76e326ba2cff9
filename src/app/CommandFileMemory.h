#pragma once

#include "platform/FileSystem.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kvl {

// One version of a command file: its size and time, and a hash of its bytes
// for file systems whose times are too coarse to tell two versions apart.
struct CommandFileVersion {
    FileIdentity identity;
    std::uint64_t contentHash = 0;
    bool operator==(const CommandFileVersion& other) const {
        return identity == other.identity && contentHash == other.contentHash;
    }
};

// A 64-bit FNV-1a hash of the bytes.
std::uint64_t contentHash(std::string_view bytes);

// What the polling cycle remembers of the command file between looks, so that
// a file still being written is not read half-way and a file already
// processed, whose deletion failed, is not processed a second time.
class CommandFileMemory {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    // How long a file must keep its size and time before it is read.
    static constexpr std::chrono::milliseconds settleTime{100};

    // Records a look at the file. True when an earlier look, at least
    // settleTime before this one, saw the same size and time.
    bool settled(const FileIdentity& identity, TimePoint now);

    // The file is being handed to the dispatcher.
    void processing(const CommandFileVersion& version);
    // True when this version is the one handed to the dispatcher last and not
    // seen deleted since.
    bool alreadyProcessed(const CommandFileVersion& version) const;
    // Only the identity is known yet: could this be the processed version?
    bool mayBeProcessed(const FileIdentity& identity) const;

    // The command file is gone: the next one is new whatever it holds.
    void fileGone();

private:
    std::optional<FileIdentity> looked_;
    TimePoint lookedSince_{};
    std::optional<CommandFileVersion> processed_;
};

} // namespace kvl
