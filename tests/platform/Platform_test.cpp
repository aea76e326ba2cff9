#include "platform/HeadlessMessageBoxes.h"
#include "platform/Text.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include "platform/win32/MutexInstanceGuard.h"
using SystemInstanceGuard = kvl::MutexInstanceGuard;
#else
#include "platform/posix/FolderInstanceGuard.h"
using SystemInstanceGuard = kvl::FolderInstanceGuard;
#endif

namespace kvl {
namespace {

TEST(InstanceGuard, OneInstancePerProgramFolderHoweverTheFolderIsSpeltAndNothingLeft) {
    test::TempFolder programs;
    std::filesystem::create_directories(programs.file("kvl"));
    std::filesystem::create_directories(programs.file("other"));
    auto first = std::make_optional<SystemInstanceGuard>(programs.file("kvl"));
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_FALSE(first->anotherInstanceRunning()); // its own lock is no other instance
#ifdef _WIN32
    std::string sameFolder = programs.file("KVL/");
    std::replace(sameFolder.begin(), sameFolder.end(), '\\', '/');
#else
    const std::string sameFolder = programs.file("other/../kvl");
#endif
    EXPECT_TRUE(SystemInstanceGuard(sameFolder).anotherInstanceRunning());
    EXPECT_FALSE(SystemInstanceGuard(programs.file("other")).anotherInstanceRunning());
    first.reset(); // the lock ends with its holder
    EXPECT_FALSE(SystemInstanceGuard(programs.file("kvl")).anotherInstanceRunning());
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

TEST(TextHelpers, UpperCaseTrimSplitAndNumbersGiveTheExpectedResults) {
    using namespace text;
    const std::string Nul(1, '\0');
    // Upper-casing is that of Windows-1252, byte for byte: 0xF7, 0xDF and 0xB5 stay, 0xFF
    // becomes 0x9F, the caron and ligature letters 0x9A-0x9E rise.
    EXPECT_EQ(upperCase("az09{`@[" + Nul +
                        "\xE0\xE8\xF6\xF8\xFE\xC0\xF7\xDF\xB5\xFF\x9A\x9C\x9E\x8A\x80"),
              "AZ09{`@[" + Nul + "\xC0\xC8\xD6\xD8\xDE\xC0\xF7\xDF\xB5\x9F\x8A\x8C\x8E\x8A\x80");
    EXPECT_EQ(trim(" \tx\r\n ") + "|" + trim("   ") + "|" + trimLeft("  a "), "\tx\r\n||a ");
    EXPECT_TRUE(split("", '=').empty());
    EXPECT_EQ(split("a==b=", '='), (std::vector<std::string>{"a", "", "b", ""}));
    // Each text's number ("-": none) and leading number, which saturates at the 64-bit limits.
    std::string numbers;
    for (std::string_view text :
         {"0", " -0012 ", "+7", "-9223372036854775808", "9223372036854775808",
          "-9223372036854775809", "", "   ", "+", "+-1", "- 1", "1 2", "1.5", "1e3", "&H10", "\t1",
          "12a", "  34 56", "-5x"}) {
        const std::optional<long long> value = numberValue(text);
        numbers += (value ? std::to_string(*value) : "-") + " " +
                   std::to_string(leadingNumber(text)) + "|";
    }
    EXPECT_EQ(numbers,
              "0 0|-12 -12|7 7|-9223372036854775808 -9223372036854775808|- 9223372036854775807|"
              "- -9223372036854775808|- 0|- 0|- 0|- 0|- 0|- 1|- 1|- 1|- 0|- 0|- 12|- 34|- -5|");
}

} // namespace
} // namespace kvl
