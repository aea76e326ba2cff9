#include "platform/PosixFileSystem.h"

#include "platform/PathResolver.h"
#include "platform/RunTimeError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>

namespace kvl {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunTimeError& error) {
        return error.number();
    }
    return 0;
}

class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.file("Sub"));
        std::filesystem::create_directories(folder.file(".cfg"));
        writeFile(folder.file("Cmd.txt"), "a");
        writeFile(folder.file("CMD.TXT"), "b");
        writeFile(folder.file("result.TXT"), "c");
        writeFile(folder.file(".hidden"), "d");
        writeFile(folder.file("Sub/inner"), "e");
        writeFile(folder.file(".cfg/Conf.txt"), "f");
        writeFile(folder.file("\xE9t\xE9.txt"), "g"); // Windows-1252 "été"
    }

    std::string at(const std::string& name) const { return folder.file(name); }

    TempFolder folder;
    PosixFileSystem files;
};

struct MatchCase {
    const char* asked;
    const char* found; // the name on disk, empty when absent
};

class PosixFileSystemMatching : public PosixFileSystemTest,
                                public ::testing::WithParamInterface<MatchCase> {};

TEST_P(PosixFileSystemMatching, FindsTheEntryOnDisk) {
    std::string expected = GetParam().found;
    ResolvedPath resolved = resolvePath(at(GetParam().asked));
    EXPECT_EQ(!expected.empty(), resolved.exists);
    EXPECT_EQ(!expected.empty(), files.fileExists(at(GetParam().asked)));
    if (!expected.empty()) {
        EXPECT_EQ(at(expected), resolved.actual);
        EXPECT_EQ(readFile(at(expected)), files.readAll(at(GetParam().asked)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PosixFileSystemMatching,
    ::testing::Values(MatchCase{"Cmd.txt", "Cmd.txt"}, MatchCase{"CMD.TXT", "CMD.TXT"},
                      // no exact match: the first variant in sorted order
                      MatchCase{"cmd.txt", "CMD.TXT"}, MatchCase{"RESULT.txt", "result.TXT"},
                      MatchCase{".hidden", ""}, MatchCase{".HIDDEN", ""},
                      MatchCase{"SUB/INNER", "Sub/inner"}, MatchCase{"./sub//inner", "Sub/inner"},
                      MatchCase{".cfg/conf.TXT", ".cfg/Conf.txt"},
                      MatchCase{"\xC9T\xC9.TXT", "\xE9t\xE9.txt"}, MatchCase{"Cmd.txt/x", ""},
                      MatchCase{"nothing/x", ""}));

TEST_F(PosixFileSystemTest, EntriesAndDirectories) {
    EXPECT_TRUE(files.entryExists(""));
    EXPECT_TRUE(files.entryExists(at("sub")));
    EXPECT_TRUE(files.isDirectory(at("SUB")));
    EXPECT_FALSE(files.isDirectory(at("Cmd.txt")));
    EXPECT_FALSE(files.entryExists(at(".cfg")));
    EXPECT_FALSE(files.entryExists(at("none")));
}

TEST_F(PosixFileSystemTest, OpenTellsAMissingFolderFromAMissingFile) {
    EXPECT_EQ(53, errorNumberOf([&] { files.openForReading(at("none.txt")); }));
    EXPECT_EQ(53, errorNumberOf([&] { files.openForReading(at(".hidden")); }));
    EXPECT_EQ(76, errorNumberOf([&] { files.openForReading(at("none/x.txt")); }));
    EXPECT_EQ(76, errorNumberOf([&] { files.openForReading(at("Cmd.txt/x.txt")); }));
    EXPECT_EQ(75, errorNumberOf([&] { files.openForReading(at("Sub")); }));
    EXPECT_EQ(53, errorNumberOf([&] { files.identity(at("none.txt")); }));
    EXPECT_EQ(53, errorNumberOf([&] { files.readAll(at("none.txt")); }));
}

TEST_F(PosixFileSystemTest, DeleteFindsCaseVariantsButNotHiddenFiles) {
    files.deleteFile(at("RESULT.TXT"));
    EXPECT_FALSE(test::fileExists(at("result.TXT")));
    EXPECT_EQ(53, errorNumberOf([&] { files.deleteFile(at("result.txt")); }));
    EXPECT_EQ(53, errorNumberOf([&] { files.deleteFile(at(".hidden")); }));
    EXPECT_TRUE(test::fileExists(at(".hidden")));
    EXPECT_EQ(76, errorNumberOf([&] { files.deleteFile(at("none/x")); }));
}

TEST_F(PosixFileSystemTest, AppendsBlocksInOrderToTheExistingVariant) {
    files.append(at("Result.txt"), "1\r\n");
    files.append(at("RESULT.TXT"), std::string("2\0x\r\n", 5));
    EXPECT_EQ(std::string("c1\r\n2\0x\r\n", 9), readFile(at("result.TXT")));
    files.append(at("new.txt"), "n");
    EXPECT_EQ("n", readFile(at("new.txt")));
}

TEST_F(PosixFileSystemTest, FailingAppendLeavesEverythingAsItWas) {
    // A path whose folder is a regular file fails even for root.
    EXPECT_EQ(76, errorNumberOf([&] { files.append(at("Cmd.txt/x.txt"), "z"); }));
    EXPECT_EQ("a", readFile(at("Cmd.txt")));
    EXPECT_EQ(76, errorNumberOf([&] { files.append(at("none/x.txt"), "z"); }));
    EXPECT_EQ(75, errorNumberOf([&] { files.append(at("Sub"), "z"); }));
    EXPECT_EQ(76, errorNumberOf([&] { files.writeWhole(at("Cmd.txt/x.txt"), "z"); }));
}

TEST_F(PosixFileSystemTest, WriteWholeReplacesTheContent) {
    files.writeWhole(at("cmd.txt"), "new");
    EXPECT_EQ("new", readFile(at("CMD.TXT")));
    EXPECT_EQ("a", readFile(at("Cmd.txt")));
    files.writeWhole(at("Param.txt"), "1\r\n");
    files.writeWhole(at("Param.txt"), "0");
    EXPECT_EQ("0", readFile(at("Param.txt")));
}

// Lowers the largest file size this process may write, so that a write fails
// part-way as on a full disk (EFBIG instead of ENOSPC), even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int);
};

TEST_F(PosixFileSystemTest, AWriteCutShortLeavesNoPartOfIt) {
    const std::string block(64, 'x');
    writeFile(at("Param.txt"), "old content");
    {
        FileSizeLimit limit(32);
        EXPECT_NE(0, errorNumberOf([&] { files.writeWhole(at("Param.txt"), block); }));
        EXPECT_NE(0, errorNumberOf([&] { files.append(at("Cmd.txt"), block); }));
    }
    EXPECT_EQ("old content", readFile(at("Param.txt")));
    EXPECT_EQ("a", readFile(at("Cmd.txt"))) << "half a block must not stay behind";
    EXPECT_FALSE(std::filesystem::exists(at(".Param.txt.new")));
}

TEST_F(PosixFileSystemTest, IdentityFollowsSizeAndModification) {
    FileIdentity before = files.identity(at("cmd.txt"));
    EXPECT_EQ(1u, before.size);
    EXPECT_EQ(before, files.identity(at("CMD.TXT")));
    files.append(at("cmd.txt"), "more");
    FileIdentity after = files.identity(at("cmd.txt"));
    EXPECT_EQ(5u, after.size);
    EXPECT_NE(before, after);
}

} // namespace
} // namespace kvl
