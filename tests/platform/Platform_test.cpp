#include "platform/HeadlessMessageBoxes.h"
#include "platform/posix/FolderInstanceGuard.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

namespace kvl {
namespace {

TEST(FolderInstanceGuard, SecondStartInTheSameFolderReportsTheFirstRunningAndLeavesNothing) {
    test::TempFolder programs;
    std::filesystem::create_directories(programs.file("kvl"));
    std::filesystem::create_directories(programs.file("other"));
    auto first = std::make_optional<FolderInstanceGuard>(programs.file("kvl"));
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_FALSE(first->anotherInstanceRunning()); // its own lock is no other instance
    // Another path to the same folder finds the same lock.
    EXPECT_TRUE(FolderInstanceGuard(programs.file("other/../kvl")).anotherInstanceRunning());
    EXPECT_FALSE(FolderInstanceGuard(programs.file("other")).anotherInstanceRunning());
    first.reset(); // the lock ends with its holder
    EXPECT_FALSE(FolderInstanceGuard(programs.file("kvl")).anotherInstanceRunning());
    EXPECT_TRUE(std::filesystem::is_empty(programs.file("kvl")));
}

TEST(HeadlessMessageBoxes, WritesTitleColonTextOnOneLineAndAnswersOk) {
    std::ostringstream out;
    HeadlessMessageBoxes boxes(out);
    EXPECT_EQ(MessageAnswer::Ok, boxes.show("Uscire?\r\nSi\nNo\r", "Attenzione",
                                            MessageButtons::OkCancel, MessageIcon::Critical));
    boxes.show("", ProgramTitle, MessageButtons::Ok, MessageIcon::None);
    EXPECT_EQ("Attenzione: Uscire? Si No \nKvlTalvioPos: \n", out.str());
}

} // namespace
} // namespace kvl
