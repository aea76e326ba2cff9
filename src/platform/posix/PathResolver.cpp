#include "platform/posix/PathResolver.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace kvl {

namespace {

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool isNavigation(const std::string& name) {
    return name == "." || name == "..";
}

bool statOk(const std::string& path, bool wantDirectory) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return false;
    return !wantDirectory || S_ISDIR(status.st_mode);
}

// The entry of the folder that the name matches, or nothing.
std::optional<std::string> matchEntry(const std::string& folder, const std::string& name,
                                      bool wantDirectory, bool hideDotNames) {
    if (hideDotNames && name[0] == '.')
        return std::nullopt;
    if (statOk(join(folder, name), wantDirectory))
        return name;

    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!directory)
        return std::nullopt;
    std::vector<std::string> variants;
    while (const dirent* entry = ::readdir(directory)) {
        std::string entryName = entry->d_name;
        if (isNavigation(entryName) || (hideDotNames && entryName[0] == '.'))
            continue;
        if (entryName != name && text::equalsIgnoringCase(entryName, name))
            variants.push_back(entryName);
    }
    ::closedir(directory);

    std::sort(variants.begin(), variants.end());
    for (const std::string& variant : variants)
        if (statOk(join(folder, variant), wantDirectory))
            return variant;
    return std::nullopt;
}

} // namespace

ResolvedPath resolvePath(const std::string& path) {
    ResolvedPath resolved;
    std::vector<std::string> components = pathComponents(path, '/');
    std::string folder = !path.empty() && path[0] == '/' ? "/" : "";
    if (components.empty()) {
        resolved.folderFound = true;
        resolved.exists = true;
        resolved.folder = folder;
        resolved.actual = folder.empty() ? "." : folder;
        return resolved;
    }

    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        const std::string& component = components[i];
        if (isNavigation(component)) {
            folder = join(folder, component);
            continue;
        }
        std::optional<std::string> match = matchEntry(folder, component, true, false);
        if (!match)
            return resolved;
        folder = join(folder, *match);
    }

    resolved.folderFound = true;
    resolved.folder = folder;
    resolved.name = components.back();
    if (isNavigation(resolved.name)) {
        resolved.actual = join(folder, resolved.name);
        resolved.exists = statOk(resolved.actual, false);
        return resolved;
    }
    std::optional<std::string> match = matchEntry(folder, resolved.name, false, true);
    resolved.exists = match.has_value();
    resolved.actual = join(folder, match ? *match : resolved.name);
    return resolved;
}

} // namespace kvl
