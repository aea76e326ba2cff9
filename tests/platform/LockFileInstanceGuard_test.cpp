#include "platform/LockFileInstanceGuard.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace kvl {
namespace {

TEST(LockFileInstanceGuard, SecondGuardOnTheSameFolderSeesTheFirst) {
    test::TempFolder locks;
    LockFileInstanceGuard first("/opt/kvl", locks.path());
    EXPECT_FALSE(first.anotherInstanceRunning());
    EXPECT_FALSE(first.anotherInstanceRunning()); // its own lock is no other instance
    {
        LockFileInstanceGuard second("/opt/kvl", locks.path());
        EXPECT_TRUE(second.anotherInstanceRunning());
        LockFileInstanceGuard elsewhere("/opt/other", locks.path());
        EXPECT_FALSE(elsewhere.anotherInstanceRunning());
        EXPECT_NE(first.lockFilePath(), elsewhere.lockFilePath());
    }
}

TEST(LockFileInstanceGuard, LockEndsWithItsHolder) {
    test::TempFolder locks;
    {
        LockFileInstanceGuard first("/opt/kvl", locks.path());
        EXPECT_FALSE(first.anotherInstanceRunning());
    }
    LockFileInstanceGuard next("/opt/kvl", locks.path());
    EXPECT_FALSE(next.anotherInstanceRunning());
}

TEST(LockFileInstanceGuard, NameCarriesTheUser) {
    LockFileInstanceGuard guard("/opt/kvl", "/locks");
    std::string expectedStart = "/locks/KvlTalvioPos-" + std::to_string(::getuid()) + "-";
    EXPECT_EQ(0u, guard.lockFilePath().rfind(expectedStart, 0));
}

TEST(LockFileInstanceGuard, MissingLockFolderDoesNotStopTheProgram) {
    test::TempFolder locks;
    LockFileInstanceGuard guard("/opt/kvl", locks.file("missing"));
    EXPECT_FALSE(guard.anotherInstanceRunning());
}

} // namespace
} // namespace kvl
