#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace kvl {

// Lines over an open file: a line ends at CR LF, at a lone CR or at a lone LF.
// Memory grows with the longest line, never with the file. At most `limit`
// bytes are read, so that a file that grows while it is read gives only the
// bytes of the version it had.
class LineSplitter : public LineReader {
public:
    static constexpr std::uint64_t NoLimit = static_cast<std::uint64_t>(-1);

    explicit LineSplitter(std::unique_ptr<ByteReader> bytes, std::uint64_t limit = NoLimit);
    // Reads from a file that stays its caller's, from where it stands.
    LineSplitter(ByteReader& bytes, std::uint64_t limit);
    std::optional<std::string> readLine() override;

private:
    // Reads the next chunk into the buffer; false at the end.
    bool fill();

    std::unique_ptr<ByteReader> owned_;
    ByteReader& bytes_;
    std::uint64_t left_;
    std::string buffer_;
    std::size_t position_ = 0;
    // The last line ended with a CR that was the last byte read: a LF that
    // comes next belongs to it.
    bool afterCarriageReturn_ = false;
};

} // namespace kvl
