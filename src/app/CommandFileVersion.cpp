#include "app/CommandFileVersion.h"

#include "platform/RunTimeError.h"

#include <algorithm>
#include <vector>

namespace kvl {

namespace {
constexpr std::size_t ChunkSize = 64 * 1024;
}

void ContentHash::add(std::string_view bytes) {
    for (const char byte : bytes) {
        hash_ ^= static_cast<unsigned char>(byte);
        hash_ *= 1099511628211ull;
    }
}

std::optional<CommandFileLook> lookAtCommandFile(FileSystem& files, const std::string& path) {
    if (!files.fileExists(path))
        return std::nullopt;
    const std::unique_ptr<ByteReader> file = files.openBytes(path);
    CommandFileLook look;
    look.identity = file->identity();
    if (look.identity.size > 0) {
        file->seek(look.identity.size - 1);
        char last = 0;
        look.lineFinished = file->read(&last, 1) == 1 && last == '\n';
    }
    return look;
}

CommandFileRead readCommandFile(FileSystem& files, const std::string& path,
                                std::uint64_t prefixLength) {
    CommandFileRead read;
    read.file = files.openBytes(path);
    read.version.identity = read.file->identity();
    const std::uint64_t size = read.version.identity.size;

    ContentHash hash;
    std::vector<char> chunk(ChunkSize);
    std::uint64_t done = 0;
    if (prefixLength == 0)
        read.prefixHash = hash.value();
    while (done < size) {
        // Up to the prefix's end first, so that its hash can be taken on the way.
        const std::uint64_t stop =
            done < prefixLength && prefixLength <= size ? prefixLength : size;
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(ChunkSize, stop - done));
        const std::size_t count = read.file->read(chunk.data(), wanted);
        if (count == 0)
            throw RunTimeError(ErrorNumber::PathFileAccess, "File changed while read: " + path);
        hash.add(std::string_view(chunk.data(), count));
        done += count;
        if (done == prefixLength)
            read.prefixHash = hash.value();
    }
    read.version.contentHash = hash.value();
    return read;
}

} // namespace kvl
