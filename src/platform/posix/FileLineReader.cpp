#include "platform/posix/FileLineReader.h"

#include "platform/posix/ErrorFromErrno.h"

#include <cerrno>

namespace kvl {

namespace {
constexpr std::size_t ChunkSize = 64 * 1024;
}

FileLineReader::FileLineReader(UniqueFd fd, std::string path)
    : fd_(std::move(fd)), path_(std::move(path)) {}

bool FileLineReader::fill() {
    if (atEnd_)
        return false;
    // Drop what was already handed out before growing the buffer.
    if (position_ > 0) {
        buffer_.erase(0, position_);
        position_ = 0;
    }
    std::size_t oldSize = buffer_.size();
    buffer_.resize(oldSize + ChunkSize);
    ssize_t count;
    do {
        count = ::read(fd_.get(), &buffer_[oldSize], ChunkSize);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        int error = errno;
        buffer_.resize(oldSize);
        throw errorFromErrno(error, path_);
    }
    buffer_.resize(oldSize + static_cast<std::size_t>(count));
    if (count == 0)
        atEnd_ = true;
    return count > 0;
}

std::optional<std::string> FileLineReader::readLine() {
    std::size_t searchFrom = position_;
    for (;;) {
        std::size_t end = buffer_.find('\n', searchFrom);
        if (end != std::string::npos) {
            std::string line = buffer_.substr(position_, end - position_);
            position_ = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        std::size_t scanned = buffer_.size() - position_;
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
