#include "platform/Platform.h"

namespace kvl {

std::string joinPath(const std::string& folder, const std::string& name) {
    // A folder that already ends with the separator (the root) gets no second one.
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool containsSeparator(const std::string& path) {
    return path.find('/') != std::string::npos;
}

} // namespace kvl
