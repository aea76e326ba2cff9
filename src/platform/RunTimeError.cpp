#include "platform/RunTimeError.h"

namespace kvl {

std::string reasonOf(const RunTimeError& error, const std::string& path) {
    std::string reason = error.description();
    const std::string suffix = ": " + path;
    if (!path.empty() && reason.size() > suffix.size() &&
        reason.compare(reason.size() - suffix.size(), suffix.size(), suffix) == 0)
        reason.erase(reason.size() - suffix.size());
    return reason;
}

} // namespace kvl
