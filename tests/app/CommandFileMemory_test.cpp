#include "app/CommandFileMemory.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

using std::chrono::milliseconds;

TEST(CommandFileMemory, FileIsSettledOnlyAfterKeepingItsSizeAndTimeFor100ms) {
    CommandFileMemory memory;
    const CommandFileMemory::TimePoint start{};
    const FileIdentity first{10, 1000};
    const FileIdentity grown{12, 2000};

    EXPECT_FALSE(memory.settled(first, start));
    EXPECT_FALSE(memory.settled(first, start + milliseconds(99)));
    EXPECT_FALSE(memory.settled(grown, start + milliseconds(100)));
    EXPECT_FALSE(memory.settled(grown, start + milliseconds(150)));
    EXPECT_TRUE(memory.settled(grown, start + milliseconds(200)));
}

TEST(CommandFileMemory, ProcessedVersionIsForgottenOnceTheFileIsGone) {
    CommandFileMemory memory;
    const CommandFileVersion payment{{18, 5000}, contentHash("POS_PAGAME,A1250\r\n")};
    memory.processing(payment);

    EXPECT_TRUE(memory.alreadyProcessed(payment));
    EXPECT_FALSE(memory.alreadyProcessed({{18, 5000}, contentHash("POS_PAGAME,A9999\r\n")}));
    memory.fileGone();
    EXPECT_FALSE(memory.alreadyProcessed(payment));
}

} // namespace
} // namespace kvl
