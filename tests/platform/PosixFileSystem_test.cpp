#include "platform/PosixFileSystem.h"

#include "platform/RunTimeError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/resource.h>

namespace kvl {
namespace {

using test::readFile;
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
        std::filesystem::create_directories(at("Sub"));
        std::filesystem::create_directories(at(".cfg"));
        for (auto [name, bytes] : {std::pair{"Cmd.txt", "a"},
                                   {"CMD.TXT", "b"},
                                   {".hidden", "c"},
                                   {"Sub/inner", "d"},
                                   {".cfg/Conf.txt", "e"},
                                   {"\xE9t\xE9", "f"}})
            writeFile(at(name), bytes);
    }
    std::string at(const std::string& name) const { return folder.file(name); }

    test::TempFolder folder;
    PosixFileSystem files;
};

struct NameCase {
    const char* asked;
    const char* content; // of the entry found
    int error;           // when none is found
};

class PosixFileSystemNames : public PosixFileSystemTest,
                             public ::testing::WithParamInterface<NameCase> {};

TEST_P(PosixFileSystemNames, FindsTheExactNameThenACaseVariantElseTellsWhy) {
    const NameCase& c = GetParam();
    std::string content;
    EXPECT_EQ(c.error, errorNumberOf([&] { content = files.readAll(at(c.asked)); }));
    EXPECT_EQ(c.content, content);
    EXPECT_EQ(c.error, errorNumberOf([&] { files.openForReading(at(c.asked)); }));
    EXPECT_EQ(c.error == 0, files.fileExists(at(c.asked)));
}

// With no exact match the first case variant in sorted order ("CMD.TXT") wins;
// a name beginning with '.' is absent, though such a folder is passed through.
INSTANTIATE_TEST_SUITE_P(
    Cases, PosixFileSystemNames,
    ::testing::Values(NameCase{"Cmd.txt", "a", 0}, NameCase{"CMD.TXT", "b", 0},
                      NameCase{"cmd.txt", "b", 0}, NameCase{"./sub//INNER", "d", 0},
                      NameCase{".CFG/conf.TXT", "e", 0}, NameCase{"\xC9T\xC9", "f", 0},
                      NameCase{".hidden", "", 53}, NameCase{"none.txt", "", 53},
                      NameCase{"none/x.txt", "", 76}, NameCase{"Cmd.txt/x", "", 76},
                      NameCase{"Sub", "", 75}));

TEST_F(PosixFileSystemTest, WritesGoToTheExistingCaseVariant) {
    files.append(at("cmd.txt"), std::string("1\0\r\n", 4));
    EXPECT_EQ(std::string("b1\0\r\n", 5), readFile(at("CMD.TXT")));
    files.writeWhole(at("cmd.TXT"), "new");
    EXPECT_EQ("new", readFile(at("CMD.TXT")));
    EXPECT_EQ("a", readFile(at("Cmd.txt")));
}

TEST_F(PosixFileSystemTest, AFailedOrCutWriteLeavesNoPartOfIt) {
    EXPECT_EQ(76, errorNumberOf([&] { files.append(at("Cmd.txt/x.txt"), "z"); }));
    EXPECT_EQ(75, errorNumberOf([&] { files.append(at("Sub"), "z"); }));
    // A lowered file size limit cuts a write short as a full disk does, even for root.
    const std::string block(64, 'x');
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit lowered{32, previous.rlim_max};
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    EXPECT_NE(0, errorNumberOf([&] { files.writeWhole(at("CMD.TXT"), block); }));
    EXPECT_NE(0, errorNumberOf([&] { files.append(at("Cmd.txt"), block); }));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ("b", readFile(at("CMD.TXT")));
    EXPECT_EQ("a", readFile(at("Cmd.txt"))) << "half a block must not stay behind";
    EXPECT_FALSE(test::fileExists(at(".CMD.TXT.new")));
}

struct ErrnoCase {
    int errnoValue;
    int number;
};

class ErrorFromErrno : public ::testing::TestWithParam<ErrnoCase> {};

TEST_P(ErrorFromErrno, MapsOntoTheRunTimeNumbersKeepingTheReason) {
    RunTimeError error = errorFromErrno(GetParam().errnoValue, "x.txt");
    EXPECT_EQ(GetParam().number, error.number());
    EXPECT_NE(std::string::npos, error.description().find(std::strerror(GetParam().errnoValue)));
}

INSTANTIATE_TEST_SUITE_P(Cases, ErrorFromErrno,
                         ::testing::Values(ErrnoCase{ENOENT, 53}, ErrnoCase{ENOTDIR, 76},
                                           ErrnoCase{EACCES, 70}, ErrnoCase{EPERM, 70},
                                           ErrnoCase{EROFS, 70}, ErrnoCase{EISDIR, 75},
                                           ErrnoCase{EIO, 75}, ErrnoCase{ENOSPC, 75}));

TEST(ErrorFromErrnoPaths, MissingFolderIsPathNotFound) {
    test::TempFolder folder;
    EXPECT_EQ(76, errorFromErrno(ENOENT, folder.file("missing/x.txt")).number());
}

} // namespace
} // namespace kvl
