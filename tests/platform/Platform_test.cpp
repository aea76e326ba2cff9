#include "platform/HeadlessMessageBoxes.h"
#include "platform/LockFileInstanceGuard.h"
#include "platform/PosixEventLoop.h"
#include "platform/PosixFileSystem.h"
#include "platform/RunTimeError.h"
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
        const int error = errorNumberOf([&] { content = files.readAll(at(asked)); });
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

TEST_F(PosixFileSystemTest, LinesEndAtLineFeedsDroppingOneCarriageReturn) {
    using namespace std::string_literals;
    const std::string Long = std::string(200000, 'x') + "\r" + std::string(70000, 'y');
    // Bytes, then each line read in brackets; the long line spans several reads.
    const std::string cases[][2] = {{"", ""},
                                    {"a\r\nb\r\n", "[a][b]"},
                                    {"a\nb\n", "[a][b]"},
                                    {"a\rb\r\r\n", "[a\rb\r]"},
                                    {"a\r\n\r\nlast", "[a][][last]"},
                                    {"n\0ul\r\n\0"s, "[n\0ul][\0]"s},
                                    {Long + "\r\nnext\n", "[" + Long + "][next]"}};
    for (const auto& [bytes, expected] : cases) {
        test::writeFile(at("f.txt"), bytes);
        auto reader = files.openForReading(at("f.txt"));
        std::string lines;
        while (auto line = reader->readLine())
            lines += "[" + *line + "]";
        EXPECT_EQ(lines, expected) << bytes.substr(0, 20);
    }
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
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ("new", test::readFile(at("CMD.TXT")));
    EXPECT_EQ("a", test::readFile(at("Cmd.txt"))) << "half a block must not stay behind";
    EXPECT_FALSE(test::fileExists(at(".CMD.TXT.new")));
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

TEST(LockFileInstanceGuard, SecondStartInTheSameFolderReportsTheFirstRunning) {
    test::TempFolder locks;
    auto first = std::make_optional<LockFileInstanceGuard>("/opt/kvl", locks.path());
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_FALSE(first->anotherInstanceRunning()); // its own lock is no other instance
    EXPECT_TRUE(LockFileInstanceGuard("/opt/kvl", locks.path()).anotherInstanceRunning());
    EXPECT_FALSE(LockFileInstanceGuard("/opt/other", locks.path()).anotherInstanceRunning());
    first.reset(); // the lock ends with its holder
    EXPECT_FALSE(LockFileInstanceGuard("/opt/kvl", locks.path()).anotherInstanceRunning());
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
