#include "platform/LinuxSystemInfo.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>

namespace kvl {
namespace {

struct ReleaseCase {
    const char* release;
    unsigned major, minor, build;
};

class VersionFromRelease : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(VersionFromRelease, ReadsTheLeadingNumbers) {
    SystemInfo::Version version = versionFromRelease(GetParam().release);
    EXPECT_EQ(GetParam().major, version.major);
    EXPECT_EQ(GetParam().minor, version.minor);
    EXPECT_EQ(GetParam().build, version.build);
    EXPECT_EQ(0u, version.platformId);
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionFromRelease,
                         ::testing::Values(ReleaseCase{"6.1.0-18-amd64", 6, 1, 0},
                                           ReleaseCase{"5.15.133.1-microsoft", 5, 15, 133},
                                           ReleaseCase{"4.19", 4, 19, 0}, ReleaseCase{"", 0, 0, 0},
                                           ReleaseCase{"abc", 0, 0, 0},
                                           ReleaseCase{"6.x.3", 6, 0, 0},
                                           ReleaseCase{"99999999999.1", 4294967295u, 1, 0}));

TEST(LinuxSystemInfo, IsNotTheNtPlatform) {
    LinuxSystemInfo info;
    SystemInfo::Version version = info.osVersion();
    EXPECT_EQ(0u, version.platformId);
    EXPECT_GT(version.major, 0u);
}

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

bool isDirectory(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

TEST(LinuxSystemInfo, DataFolderFromXdgDataHomeIsCreated) {
    test::TempFolder folder;
    std::string data = folder.file("a/b/");
    ScopedVariable xdg("XDG_DATA_HOME", data.c_str());
    EXPECT_EQ(folder.file("a/b"), LinuxSystemInfo().commonAppDataFolder());
    EXPECT_TRUE(isDirectory(folder.file("a/b")));
}

TEST(LinuxSystemInfo, DataFolderFallsBackToTheHomeFolder) {
    test::TempFolder folder;
    ScopedVariable xdg("XDG_DATA_HOME", "relative/is/ignored");
    ScopedVariable home("HOME", folder.path().c_str());
    EXPECT_EQ(folder.file(".local/share"), LinuxSystemInfo().commonAppDataFolder());
    EXPECT_TRUE(isDirectory(folder.file(".local/share")));
}

TEST(LinuxSystemInfo, DataFolderThatCannotBeMadeIsEmpty) {
    test::TempFolder folder;
    test::writeFile(folder.file("file"), "x");
    std::string data = folder.file("file/data");
    ScopedVariable xdg("XDG_DATA_HOME", data.c_str());
    EXPECT_EQ("", LinuxSystemInfo().commonAppDataFolder());
}

} // namespace
} // namespace kvl
