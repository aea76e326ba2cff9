#include "platform/ProcessProgramInfo.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace kvl {
namespace {

struct FolderCase {
    const char* path;
    const char* folder;
};

class FolderOfFile : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderOfFile, DropsTheNameAndTrailingSeparators) {
    EXPECT_EQ(GetParam().folder, folderOfFile(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderOfFile,
                         ::testing::Values(FolderCase{"/opt/kvl/KvlTalvioPos", "/opt/kvl"},
                                           FolderCase{"/KvlTalvioPos", "/"},
                                           FolderCase{"//KvlTalvioPos", "/"},
                                           FolderCase{"/opt//kvl//x", "/opt//kvl"},
                                           FolderCase{"rel/x", "rel"}, FolderCase{"x", "."}));

struct ArgumentsCase {
    std::vector<const char*> argv;
    const char* line;
};

class JoinArguments : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(JoinArguments, SkipsTheProgramName) {
    const auto& argv = GetParam().argv;
    EXPECT_EQ(GetParam().line, joinArguments(static_cast<int>(argv.size()), argv.data()));
}

INSTANTIATE_TEST_SUITE_P(Cases, JoinArguments,
                         ::testing::Values(ArgumentsCase{{}, ""}, ArgumentsCase{{"prog"}, ""},
                                           ArgumentsCase{{"prog", "-V"}, "-V"},
                                           ArgumentsCase{{"prog", "-E", "/d/Config Tlv.txt"},
                                                         "-E /d/Config Tlv.txt"},
                                           ArgumentsCase{{"prog", "", "x"}, " x"}));

TEST(ProcessProgramInfo, FolderIsThatOfTheRunningExecutable) {
    const char* argv[] = {"test_platform", "-I"};
    ProcessProgramInfo info(2, argv);
    char* expected = ::realpath(KVL_BIN_DIR, nullptr);
    ASSERT_NE(nullptr, expected);
    EXPECT_EQ(std::string(expected), info.programFolder());
    std::free(expected);
    EXPECT_EQ("-I", info.commandLine());
}

} // namespace
} // namespace kvl
