#include "platform/FileSystem.h"

#include <algorithm>

namespace kvl {

std::vector<std::string> pathComponents(const std::string& path, char separator) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(separator, start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start && path.compare(start, end - start, ".") != 0)
            components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

std::string FileSystem::joinPath(const std::string& folder, const std::string& name) const {
    if (!folder.empty() && isSeparator(folder.back()))
        return folder + name;
    return folder + separator() + name;
}

std::string FileSystem::readAll(const std::string& path) {
    const std::unique_ptr<ByteReader> reader = openBytes(path);
    std::string bytes;
    char chunk[64 * 1024];
    while (const std::size_t count = reader->read(chunk, sizeof chunk))
        bytes.append(chunk, count);
    return bytes;
}

bool FileSystem::containsSeparator(const std::string& path) const {
    return std::any_of(path.begin(), path.end(), [this](char c) { return isSeparator(c); });
}

} // namespace kvl
