// The one-shot round trip of a fixed list of commands on Windows, its result
// file written beside the test for the comparison with the Linux build's
// result of the same commands (compare-with-linux).

#include "support/Installation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace kvl::test {
namespace {

const char* const Commands = "round-trip-commands.txt";
const char* const WindowsResult = "round-trip-windows.txt";

TEST(RoundTripAsOnLinux, AnswersEveryCommandAndKeepsTheResultForTheComparison) {
    std::remove(WindowsResult); // never compare a result of an earlier run
    std::ifstream listed(Commands);
    ASSERT_TRUE(listed) << Commands;
    std::vector<std::string> commands;
    for (std::string line; std::getline(listed, line);)
        commands.push_back(line);
    ASSERT_FALSE(commands.empty());

    Simulator simulator;
    Installation installation(simulator.port());
    const std::string result = installation.runOnce(commands);
    EXPECT_EQ(blockCount(result), static_cast<int>(commands.size()));
    writeFile(WindowsResult, result);
}

} // namespace
} // namespace kvl::test
