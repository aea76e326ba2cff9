#pragma once

#include "platform/FileSystem.h"
#include "platform/win32/UniqueHandle.h"

#include <string>

namespace kvl {

// Reads lines from an open file handle in chunks: memory grows with the
// longest line, never with the file.
class HandleLineReader : public LineReader {
public:
    HandleLineReader(UniqueHandle file, std::string path);
    std::optional<std::string> readLine() override;

private:
    // Reads one more chunk; false at the end of the file.
    bool fill();

    UniqueHandle file_;
    std::string path_;
    std::string buffer_;
    std::size_t position_ = 0;
    bool atEnd_ = false;
};

} // namespace kvl
