#pragma once

#include "platform/FileSystem.h"

namespace kvl {

// The file services over the Win32 API in the ANSI code page (CreateFileA and
// friends). Names are matched by the system, without regard to case; a file
// marked hidden or system counts as absent. '\' and '/' both separate
// folders; new paths are joined with '\'. A drive root ("C:") is present when
// the drive exists, and the empty path counts as present.
class Win32FileSystem : public FileSystem {
public:
    char separator() const override { return '\\'; }
    bool isSeparator(char c) const override { return c == '\\' || c == '/'; }
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
