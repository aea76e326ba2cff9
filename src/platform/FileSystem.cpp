#include "platform/FileSystem.h"

#include <algorithm>

namespace kvl {

std::string FileSystem::joinPath(const std::string& folder, const std::string& name) const {
    if (!folder.empty() && isSeparator(folder.back()))
        return folder + name;
    return folder + separator() + name;
}

bool FileSystem::containsSeparator(const std::string& path) const {
    return std::any_of(path.begin(), path.end(), [this](char c) { return isSeparator(c); });
}

} // namespace kvl
