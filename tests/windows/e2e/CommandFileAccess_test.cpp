// The resident service on Windows, headless, against terminal-sim.exe: a
// command file that the cash register still holds open without sharing, a
// hidden command file, and a second start on the same folder.

#include "support/Installation.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>
#include <windows.h>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string binaryFolder() {
    char path[MAX_PATH] = {};
    const std::string module(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
    return module.substr(0, module.find_last_of("\\/"));
}

// Waits until the command file is gone: the ECR's signal that the result is
// complete.
bool answered(const Installation& installation, std::chrono::seconds timeout = 20s) {
    const auto deadline = Clock::now() + timeout;
    while (fileExists(installation.commandFile()) && Clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    return !fileExists(installation.commandFile());
}

void closeAndExpectSuccess(ChildProcess& bridge) {
    bridge.signal(SIGTERM);
    EXPECT_EQ(bridge.wait(20s), 0) << bridge.errors();
}

class ResidentOnWindows : public ::testing::Test {
protected:
    Simulator simulator;
    Installation installation{simulator.port()};
};

// The register writes the command and keeps the file open, unshared, for
// three seconds: reading it fails with a sharing violation (70) and is
// retried; once it is released the command runs, once.
TEST_F(ResidentOnWindows, ACommandFileHeldWithoutSharingIsRetriedAndProcessedOnceReleased) {
    auto bridge = installation.startResident();
    const auto started = Clock::now();
    ChildProcess holder(
        binaryFolder() + "\\holdfile.exe",
        {installation.commandFile(), "POS_PAGAME,T1,E1,A000000250,P00\r\n", "3000"});
    ASSERT_TRUE(holder.waitForLine("held", 10s)) << holder.errors();
    ASSERT_EQ(holder.wait(20s), 0) << holder.errors();
    EXPECT_EQ(simulator.exchanges("Payment"), 0) << "nothing can be read while the file is held";
    EXPECT_GE(Clock::now() - started, 3s);

    ASSERT_TRUE(answered(installation)) << bridge->errors();
    const std::string result = readFile(installation.resultFile());
    ASSERT_EQ(blockCount(result), 1);
    EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = "), "OK");
    EXPECT_EQ(valueAfter(result, "POSDATA.AmountEcho = "), "000000250");
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
    closeAndExpectSuccess(*bridge);
}

// A file marked hidden counts as absent: it lies there for several ticks
// untouched, and is answered as soon as it is shown.
TEST_F(ResidentOnWindows, AHiddenCommandFileIsNeverProcessed) {
    auto bridge = installation.startResident();
    const std::string command = "POS_PAGAME,T1,E1,A000000350,P00\r\n";
    HANDLE file = ::CreateFileA(installation.commandFile().c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, command.data(), static_cast<DWORD>(command.size()), &written, nullptr);
    ::CloseHandle(file);

    // A tick comes every 1.3 s at most while no file is seen.
    std::this_thread::sleep_for(4s);
    EXPECT_TRUE(fileExists(installation.commandFile()));
    EXPECT_FALSE(fileExists(installation.resultFile()));
    EXPECT_EQ(simulator.exchanges("Payment"), 0);

    ASSERT_TRUE(::SetFileAttributesA(installation.commandFile().c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(answered(installation)) << bridge->errors();
    EXPECT_EQ(valueAfter(readFile(installation.resultFile()), "POSDATA.AmountEcho = "),
              "000000350");
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
    closeAndExpectSuccess(*bridge);
}

// One instance per program folder: a second start ends at once, silently and
// successfully, and the first keeps answering.
TEST_F(ResidentOnWindows, ASecondStartOnTheSameFolderEndsSilently) {
    auto first = installation.startResident();
    installation.writeCommands({"POS_STATUS"});
    ASSERT_TRUE(answered(installation)) << first->errors();

    const int statusRequests = simulator.exchanges("Status");

    ChildProcess second(installation.program(), {"-I"}, installation.environment);
    EXPECT_EQ(second.wait(20s), 0);
    EXPECT_EQ(second.output() + second.errors(), "");
    EXPECT_TRUE(first->running());
    EXPECT_EQ(simulator.exchanges("Status"), statusRequests)
        << "the second start asked the terminal nothing";

    installation.writeCommands({"POS_PAGAME,T1,E1,A000000450,P00"});
    ASSERT_TRUE(answered(installation)) << first->errors();
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
    closeAndExpectSuccess(*first);
}

} // namespace
} // namespace kvl::test
