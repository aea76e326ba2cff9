#include "platform/LineSplitter.h"

#include <algorithm>

namespace kvl {

namespace {
constexpr std::size_t ChunkSize = 64 * 1024;
}

LineSplitter::LineSplitter(std::unique_ptr<ByteReader> bytes, std::uint64_t limit)
    : owned_(std::move(bytes)), bytes_(*owned_), left_(limit) {}

LineSplitter::LineSplitter(ByteReader& bytes, std::uint64_t limit) : bytes_(bytes), left_(limit) {}

bool LineSplitter::fill() {
    if (left_ == 0)
        return false;
    // Drop what was already handed out before growing the buffer.
    buffer_.erase(0, position_);
    position_ = 0;
    const std::size_t oldSize = buffer_.size();
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(ChunkSize, left_));
    buffer_.resize(oldSize + wanted);
    std::size_t count = 0;
    try {
        count = bytes_.read(&buffer_[oldSize], wanted);
    } catch (...) {
        buffer_.resize(oldSize);
        throw;
    }
    buffer_.resize(oldSize + count);
    left_ = count == 0 ? 0 : left_ - count;
    return count > 0;
}

std::optional<std::string> LineSplitter::readLine() {
    std::size_t searchFrom = position_;
    for (;;) {
        if (afterCarriageReturn_ && position_ < buffer_.size()) {
            afterCarriageReturn_ = false;
            if (buffer_[position_] == '\n')
                searchFrom = ++position_;
        }
        const std::size_t end = buffer_.find_first_of("\r\n", searchFrom);
        if (end != std::string::npos) {
            std::string line;
            if (position_ == 0 && end > buffer_.size() / 2) {
                // A long line takes the buffer over instead of being copied,
                // so that it is held once.
                line = std::move(buffer_);
                buffer_ = line.substr(end);
                line.resize(end);
                position_ = 0;
            } else {
                line = buffer_.substr(position_, end - position_);
                position_ = end;
            }
            const char ending = buffer_[position_++];
            if (ending == '\r') {
                if (position_ < buffer_.size()) {
                    if (buffer_[position_] == '\n')
                        ++position_;
                } else {
                    afterCarriageReturn_ = true;
                }
            }
            return line;
        }
        const std::size_t scanned = buffer_.size() - position_;
        if (!fill()) {
            afterCarriageReturn_ = false;
            if (position_ >= buffer_.size())
                return std::nullopt;
            std::string line = std::move(buffer_);
            line.erase(0, position_);
            buffer_.clear();
            position_ = 0;
            return line;
        }
        // fill() moved the unread bytes to the front; search only the new ones.
        searchFrom = position_ + scanned;
    }
}

} // namespace kvl
