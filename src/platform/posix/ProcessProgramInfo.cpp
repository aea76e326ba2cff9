#include "platform/posix/ProcessProgramInfo.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace kvl {

namespace {

std::string executablePath() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(length));
            // An executable replaced while running is shown with this mark.
            const std::string deleted = " (deleted)";
            if (path.size() > deleted.size() &&
                path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
                path.erase(path.size() - deleted.size());
            return path;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string fromArgumentZero(const char* argumentZero) {
    if (!argumentZero)
        return {};
    char* resolved = ::realpath(argumentZero, nullptr);
    if (!resolved)
        return {};
    std::string path = resolved;
    std::free(resolved);
    return path;
}

} // namespace

std::string folderOfFile(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    // Separators repeated before the name belong to it too.
    std::size_t end = path.find_last_not_of('/', slash);
    if (end == std::string::npos)
        return "/";
    return path.substr(0, end + 1);
}

std::string joinArguments(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line;
}

ProcessProgramInfo::ProcessProgramInfo(int argc, const char* const* argv)
    : commandLine_(joinArguments(argc, argv)) {
    std::string executable = executablePath();
    if (executable.empty())
        executable = fromArgumentZero(argc > 0 ? argv[0] : nullptr);
    folder_ = executable.empty() ? "." : folderOfFile(executable);
}

} // namespace kvl
