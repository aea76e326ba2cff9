#include "app/RunMode.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

struct ModeCase {
    const char* commandLine;
    RunMode mode;
};

class RunModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(RunModeTest, FirstSwitchFoundInOrderEVIDecides) {
    EXPECT_EQ(decideRunMode(GetParam().commandLine), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, RunModeTest,
                         ::testing::Values(ModeCase{"", RunMode::Resident},
                                           ModeCase{"E V I -", RunMode::Resident},
                                           ModeCase{"-I", RunMode::Interactive},
                                           ModeCase{"/srv/x-in/cfg", RunMode::Interactive},
                                           ModeCase{"-v -i", RunMode::Version},
                                           ModeCase{"-I -V", RunMode::Version},
                                           ModeCase{"-I -V -E", RunMode::OneShot},
                                           ModeCase{"-e /cfg/c.TXT", RunMode::OneShot},
                                           ModeCase{"-Ec.TXT -V", RunMode::OneShot}));

} // namespace
} // namespace kvl
