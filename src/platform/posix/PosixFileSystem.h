#pragma once

#include "platform/FileSystem.h"

namespace kvl {

// The file services over POSIX calls, with names matched as PathResolver.h
// describes; new files are made with the name as given. Only '/' separates
// folders: a backslash is an ordinary character of a name. A path without
// ":\" has an empty drive root, and the empty path counts as present.
class PosixFileSystem : public FileSystem {
public:
    char separator() const override { return '/'; }
    bool isSeparator(char c) const override { return c == '/'; }
    bool fileExists(const std::string& path) override;
    bool entryExists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    void deleteFile(const std::string& path) override;
    std::unique_ptr<LineReader> openForReading(const std::string& path) override;
    std::unique_ptr<ByteReader> openBytes(const std::string& path) override;
    void append(const std::string& path, const std::string& bytes) override;
    void writeWhole(const std::string& path, const std::string& bytes) override;
    FileIdentity identity(const std::string& path) override;
};

} // namespace kvl
