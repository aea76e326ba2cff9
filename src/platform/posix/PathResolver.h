#pragma once

#include <string>

namespace kvl {

// Where a path leads on disk when every component is matched without regard
// to case: an exact match wins, otherwise the first case variant in sorted
// order. A last component beginning with '.' counts as absent; folders on the
// way are matched whatever their names, as a hidden folder can still be
// passed through.
struct ResolvedPath {
    bool folderFound = false; // every folder on the way exists
    std::string folder;       // the containing folder on disk ("" is the current one)
    std::string name;         // the last component as given
    bool exists = false;      // an entry matches the last component
    std::string actual;       // the entry on disk, or where a new one would be made
};

ResolvedPath resolvePath(const std::string& path);

} // namespace kvl
