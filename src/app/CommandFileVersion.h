#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kvl {

// A 64-bit FNV-1a hash of bytes, fed piece by piece.
class ContentHash {
public:
    void add(std::string_view bytes);
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 14695981039346656037ull;
};

// One version of a command file: its size and time, and a hash of its bytes
// for file systems whose times are too coarse to tell two versions apart.
struct CommandFileVersion {
    FileIdentity identity;
    std::uint64_t contentHash = 0;
    bool operator==(const CommandFileVersion& other) const {
        return identity == other.identity && contentHash == other.contentHash;
    }
    bool operator!=(const CommandFileVersion& other) const { return !(*this == other); }
};

// A quick look at the command file: its size and time, and whether its last
// byte ends a line. A last CR does not: its LF may be on the way.
struct CommandFileLook {
    FileIdentity identity;
    bool lineFinished = false;
};

// nullopt when there is no command file. Throws RunTimeError.
std::optional<CommandFileLook> lookAtCommandFile(FileSystem& files, const std::string& path);

// The command file read through once: its version, the hash of its first
// `prefixLength` bytes (when it is that long) and the open file, from which
// the command lines are then read, so that what runs is what was hashed even
// when the ECR replaces the file meanwhile.
struct CommandFileRead {
    CommandFileVersion version;
    std::optional<std::uint64_t> prefixHash;
    std::unique_ptr<ByteReader> file;
};

// Reads the file's bytes in pieces, so that memory does not grow with the
// file. Throws RunTimeError, also when the file shrinks while it is read.
CommandFileRead readCommandFile(FileSystem& files, const std::string& path,
                                std::uint64_t prefixLength);

} // namespace kvl
