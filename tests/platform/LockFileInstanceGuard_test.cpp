#include "platform/LockFileInstanceGuard.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace kvl {
namespace {

TEST(LockFileInstanceGuard, SecondStartInTheSameFolderReportsTheFirstRunning) {
    test::TempFolder locks;
    std::optional<LockFileInstanceGuard> first;
    first.emplace("/opt/kvl", locks.path());
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_FALSE(first->anotherInstanceRunning()); // its own lock is no other instance
    EXPECT_TRUE(LockFileInstanceGuard("/opt/kvl", locks.path()).anotherInstanceRunning());
    EXPECT_FALSE(LockFileInstanceGuard("/opt/other", locks.path()).anotherInstanceRunning());
    first.reset(); // the lock ends with its holder
    EXPECT_FALSE(LockFileInstanceGuard("/opt/kvl", locks.path()).anotherInstanceRunning());
}

} // namespace
} // namespace kvl
