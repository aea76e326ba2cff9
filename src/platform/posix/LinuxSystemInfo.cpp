#include "platform/posix/LinuxSystemInfo.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace kvl {

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

// Creates the folder and the missing folders above it.
bool makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

SystemInfo::Version versionFromRelease(const std::string& release) {
    unsigned numbers[3] = {0, 0, 0};
    std::size_t position = 0;
    for (unsigned& number : numbers) {
        bool digits = false;
        while (position < release.size() && release[position] >= '0' && release[position] <= '9') {
            unsigned digit = static_cast<unsigned>(release[position] - '0');
            // Too many digits hold at the largest value instead of wrapping.
            number = number <= (0xFFFFFFFFu - digit) / 10 ? number * 10 + digit : 0xFFFFFFFFu;
            digits = true;
            ++position;
        }
        if (!digits || position >= release.size() || release[position] != '.')
            break;
        ++position;
    }
    SystemInfo::Version version;
    version.major = numbers[0];
    version.minor = numbers[1];
    version.build = numbers[2];
    version.platformId = 0;
    return version;
}

SystemInfo::Version LinuxSystemInfo::osVersion() {
    utsname names{};
    if (::uname(&names) != 0)
        return Version{};
    return versionFromRelease(names.release);
}

std::string LinuxSystemInfo::commonAppDataFolder() {
    std::string folder;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/') {
        folder = dataHome;
    } else {
        std::string home = homeFolder();
        if (home.empty())
            return {};
        folder = home + (home.back() == '/' ? "" : "/") + ".local/share";
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return makeFolders(folder) ? folder : std::string();
}

} // namespace kvl
