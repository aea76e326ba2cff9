#include "platform/FolderInstanceGuard.h"
#include "platform/HeadlessMessageBoxes.h"
#include "platform/LineSplitter.h"
#include "platform/PosixEventLoop.h"
#include "platform/PosixFileSystem.h"
#include "platform/RunTimeError.h"
#include "platform/Text.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace kvl {
namespace {

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunTimeError& error) {
        return error.number();
    }
    return 0;
}

class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(at("Sub"));
        std::filesystem::create_directories(at(".cfg"));
        const char* const entries[][2] = {{"Cmd.txt", "a"},       {"CMD.TXT", "b"},
                                          {".hidden", "c"},       {"Sub/inner", "d"},
                                          {".cfg/Conf.txt", "e"}, {"\xE9t\xE9", "f"}};
        for (auto [name, bytes] : entries)
            test::writeFile(at(name), bytes);
    }
    std::string at(const std::string& name) const { return folder.file(name); }

    test::TempFolder folder;
    PosixFileSystem files;
};

TEST_F(PosixFileSystemTest, FindsTheExactNameThenACaseVariantElseTellsWhyByNumber) {
    // Name asked, content found or "#" and the error number. With no exact match the first
    // case variant in sorted order ("CMD.TXT") wins; a name beginning with '.' is absent,
    // though such a folder is passed through.
    const char* const rows[][2] = {
        {"Cmd.txt", "a"},       {"CMD.TXT", "b"},     {"cmd.txt", "b"},   {"./sub//INNER", "d"},
        {".CFG/conf.TXT", "e"}, {"\xC9T\xC9", "f"},   {".hidden", "#53"}, {"none.txt", "#53"},
        {"none/x.txt", "#76"},  {"Cmd.txt/x", "#76"}, {"Sub", "#75"}};
    for (auto [asked, found] : rows) {
        std::string content;
        const std::string path = at(asked);
        const int error = errorNumberOf([&] { content = files.readAll(path); });
        EXPECT_EQ(error ? "#" + std::to_string(error) : content, found) << asked;
        EXPECT_EQ(files.fileExists(at(asked)), error == 0) << asked;
    }
    // System errors map onto the same numbers, keeping the system's reason.
    const std::pair<int, int> cases[] = {{ENOENT, 53}, {ENOTDIR, 76}, {EACCES, 70}, {EPERM, 70},
                                         {EROFS, 70},  {EISDIR, 75},  {EIO, 75},    {ENOSPC, 75}};
    for (auto [errnoValue, number] : cases) {
        const RunTimeError error = errorFromErrno(errnoValue, "x.txt");
        EXPECT_EQ(error.number(), number) << errnoValue;
        EXPECT_NE(error.description().find(std::strerror(errnoValue)), std::string::npos);
    }
    EXPECT_EQ(76, errorFromErrno(ENOENT, at("missing/x.txt")).number()); // no such folder
}

TEST_F(PosixFileSystemTest, LinesEndAtCrLfALoneCrOrALoneLf) {
    using namespace std::string_literals;
    const std::string Long = std::string(200000, 'x') + "\t" + std::string(70000, 'y');
    // The CR of this line is the last byte of the first chunk read, its LF the first of the next.
    const std::string Edge(64 * 1024 - 1, 'e');
    // Bytes, then each line read in brackets; the long line spans several reads.
    const std::string cases[][2] = {{"", ""},
                                    {"a\r\nb\r\n", "[a][b]"},
                                    {"a\nb\n", "[a][b]"},
                                    {"a\rb\r\r\n", "[a][b][]"},
                                    {"a\n\rb\r", "[a][][b]"},
                                    {"a\r\n\r\nlast", "[a][][last]"},
                                    {"n\0ul\r\n\0"s, "[n\0ul][\0]"s},
                                    {Edge + "\r\nnext", "[" + Edge + "][next]"},
                                    {Long + "\r\nnext\n", "[" + Long + "][next]"}};
    for (const auto& [bytes, expected] : cases) {
        test::writeFile(at("f.txt"), bytes);
        auto reader = files.openForReading(at("f.txt"));
        std::string lines;
        while (auto line = reader->readLine())
            lines += "[" + *line + "]";
        EXPECT_EQ(lines, expected) << bytes.substr(0, 20);
    }
    // A limit reads only the bytes of the version that was measured, from where the file stands.
    test::writeFile(at("f.txt"), "skip\r\nfirst\r\nsecond\r\nthird");
    auto bytes = files.openBytes(at("f.txt"));
    bytes->seek(6);
    LineSplitter limited(*bytes, 12);
    EXPECT_EQ(limited.readLine(), "first");
    EXPECT_EQ(limited.readLine(), "secon");
    EXPECT_EQ(limited.readLine(), std::nullopt);
}

TEST_F(PosixFileSystemTest, WritesGoToTheExistingCaseVariantAndAFailedOrCutOneLeavesNoPartOfIt) {
    files.append(at("cmd.txt"), std::string("1\0\r\n", 4));
    EXPECT_EQ(std::string("b1\0\r\n", 5), test::readFile(at("CMD.TXT")));
    files.writeWhole(at("cmd.TXT"), "new");
    EXPECT_EQ("new", test::readFile(at("CMD.TXT")));
    EXPECT_EQ("a", test::readFile(at("Cmd.txt")));

    EXPECT_EQ(76, errorNumberOf([&] { files.append(at("Cmd.txt/x.txt"), "z"); }));
    EXPECT_EQ(75, errorNumberOf([&] { files.append(at("Sub"), "z"); }));
    // A lowered file size limit cuts a write short as a full disk does, even for root.
    const std::string block(64, 'x');
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit lowered{32, previous.rlim_max};
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    EXPECT_NE(0, errorNumberOf([&] { files.writeWhole(at("CMD.TXT"), block); }));
    EXPECT_NE(0, errorNumberOf([&] { files.append(at("Cmd.txt"), block); }));
    EXPECT_NE(0, errorNumberOf([&] { files.append(at("Fresh.txt"), block); }));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ("new", test::readFile(at("CMD.TXT")));
    EXPECT_EQ("a", test::readFile(at("Cmd.txt"))) << "half a block must not stay behind";
    EXPECT_FALSE(test::fileExists(at(".CMD.TXT.new")));
    EXPECT_FALSE(test::fileExists(at("Fresh.txt"))) << "nor an empty file";

    // A file reached through a symbolic link is written where the link leads.
    std::filesystem::create_symlink("Sub/inner", at("Link.txt"));
    files.writeWhole(at("link.txt"), "through");
    EXPECT_TRUE(std::filesystem::is_symlink(at("Link.txt")));
    EXPECT_EQ("through", test::readFile(at("Sub/inner")));
}

using namespace std::chrono_literals;

TEST(PosixEventLoop, TimerFiresUntilQuitAndIsNeverReentered) {
    PosixEventLoop loop;
    int depth = 0, deepest = 0, ticks = 0, otherTicks = 0;
    loop.startTimer(1ms, [&] {
        deepest = std::max(deepest, ++depth);
        // Overdue again while running: processing events runs other timers, not this one.
        loop.sleep(3ms);
        loop.processEvents();
        if (++ticks == 3)
            loop.quit(7);
        --depth;
    });
    loop.startTimer(1ms, [&] { ++otherTicks; });
    EXPECT_EQ(7, loop.run());
    EXPECT_EQ(3, ticks);
    EXPECT_EQ(1, deepest);
    EXPECT_GE(otherTicks, 1);
}

TEST(PosixEventLoop, TerminationSignalsBecomeOneCloseRequest) {
    PosixEventLoop loop;
    int requests = 0;
    loop.onCloseRequest([&] {
        ++requests;
        loop.quit(3);
    });
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ(0, requests); // not inside the signal handler
    EXPECT_EQ(3, loop.run());
    EXPECT_EQ(1, requests);
}

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
