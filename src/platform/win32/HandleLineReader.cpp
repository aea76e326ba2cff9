#include "platform/win32/HandleLineReader.h"

#include "platform/win32/Win32Error.h"

namespace kvl {

namespace {
constexpr DWORD ChunkSize = 64 * 1024;
}

HandleLineReader::HandleLineReader(UniqueHandle file, std::string path)
    : file_(std::move(file)), path_(std::move(path)) {}

bool HandleLineReader::fill() {
    if (atEnd_)
        return false;
    // Drop what was already handed out before growing the buffer.
    if (position_ > 0) {
        buffer_.erase(0, position_);
        position_ = 0;
    }
    const std::size_t oldSize = buffer_.size();
    buffer_.resize(oldSize + ChunkSize);
    DWORD count = 0;
    if (!::ReadFile(file_.get(), &buffer_[oldSize], ChunkSize, &count, nullptr)) {
        const DWORD error = ::GetLastError();
        buffer_.resize(oldSize);
        throw errorFromWin32(error, path_);
    }
    buffer_.resize(oldSize + count);
    if (count == 0)
        atEnd_ = true;
    return count > 0;
}

std::optional<std::string> HandleLineReader::readLine() {
    std::size_t searchFrom = position_;
    for (;;) {
        const std::size_t end = buffer_.find('\n', searchFrom);
        if (end != std::string::npos) {
            std::string line = buffer_.substr(position_, end - position_);
            position_ = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        const std::size_t scanned = buffer_.size() - position_;
        if (!fill()) {
            if (position_ >= buffer_.size())
                return std::nullopt;
            std::string line = buffer_.substr(position_);
            position_ = buffer_.size();
            return line;
        }
        // fill() moved the unread bytes to the front; search only the new ones.
        searchFrom = position_ + scanned;
    }
}

} // namespace kvl
