#include "platform/Platform.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

struct JoinCase {
    const char* folder;
    const char* name;
    const char* joined;
};

class JoinPath : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPath, PutsOneSeparatorBetween) {
    EXPECT_EQ(GetParam().joined, joinPath(GetParam().folder, GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinPath,
    ::testing::Values(JoinCase{"/opt/kvl", "ParamTlvPos.TXT", "/opt/kvl/ParamTlvPos.TXT"},
                      JoinCase{"/", "x.txt", "/x.txt"}, JoinCase{"/opt/kvl/", "x", "/opt/kvl/x"},
                      JoinCase{"rel", "x", "rel/x"}));

TEST(ContainsSeparator, LooksForTheSlashOnly) {
    EXPECT_TRUE(containsSeparator("dir/file"));
    EXPECT_TRUE(containsSeparator("/"));
    EXPECT_FALSE(containsSeparator("ConfigTlvPos.TXT"));
    EXPECT_FALSE(containsSeparator("c:\\x"));
    EXPECT_FALSE(containsSeparator(""));
}

} // namespace
} // namespace kvl
