#include "support/FakePlatform.h"

#include "platform/RunTimeError.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;
using Operation = FakeFileSystem::Operation;

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunTimeError& error) {
        return error.number();
    }
    return 0;
}

struct LookupCase {
    const char* asked;
    const char* found; // stored name, empty when absent
};

class FakeFileSystemLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(FakeFileSystemLookup, MatchesLikeTheRealOne) {
    FakeFileSystem files;
    files.addFile("/data/Cmd.txt", "a");
    files.addFile("/data/CMD.TXT", "b");
    files.addFile("/data/result.TXT", "c");
    files.addFile("/data/.hidden", "d");
    files.addDirectory("/data/Sub");
    files.addFile("/data/Sub/inner", "e");
    files.addFile("/data/.cfg/Conf", "f");
    EXPECT_EQ(GetParam().found, files.resolve(GetParam().asked));
}

INSTANTIATE_TEST_SUITE_P(Cases, FakeFileSystemLookup,
                         ::testing::Values(LookupCase{"/data/Cmd.txt", "/data/Cmd.txt"},
                                           LookupCase{"/data/CMD.TXT", "/data/CMD.TXT"},
                                           // no exact match: the first variant in sorted order
                                           LookupCase{"/data/cmd.txt", "/data/CMD.TXT"},
                                           LookupCase{"/DATA/Result.txt", "/data/result.TXT"},
                                           LookupCase{"/data/.hidden", ""},
                                           LookupCase{"/data/.HIDDEN", ""},
                                           LookupCase{"/data/sub/INNER", "/data/Sub/inner"},
                                           LookupCase{"//data/./Sub/inner", "/data/Sub/inner"},
                                           LookupCase{"/data/Cmd.txt/x", ""},
                                           LookupCase{"/nothing/x", ""},
                                           LookupCase{"/data/.CFG/conf", "/data/.cfg/Conf"}));

TEST(FakeFileSystem, OpenTellsAMissingFolderFromAMissingFile) {
    FakeFileSystem files;
    files.addDirectory("/data");
    EXPECT_EQ(ErrorNumber::FileNotFound, errorNumberOf([&] { files.openForReading("/data/x"); }));
    EXPECT_EQ(ErrorNumber::PathNotFound, errorNumberOf([&] { files.openForReading("/no/x"); }));
    EXPECT_EQ(ErrorNumber::PathNotFound, errorNumberOf([&] { files.append("/no/x", "a"); }));
    EXPECT_EQ(ErrorNumber::PathFileAccess, errorNumberOf([&] { files.append("/data", "a"); }));
}

TEST(FakeFileSystem, WritingReusesAnExistingCaseVariant) {
    FakeFileSystem files;
    files.addFile("/d/RESULT.TXT", "1");
    files.append("/d/result.txt", "2");
    files.writeWhole("/D/new.txt", "3");
    EXPECT_EQ("12", files.content("/d/RESULT.TXT"));
    EXPECT_EQ("3", files.content("/d/new.txt"));
    EXPECT_EQ((std::vector<std::string>{"/d/RESULT.TXT", "/d/new.txt"}), files.fileNames());
}

TEST(FakeFileSystem, FailsTheChosenOperationTheChosenNumberOfTimes) {
    FakeFileSystem files;
    files.addFile("/d/r.txt", "x");
    files.failOperation(Operation::Delete, "/D/R.TXT", ErrorNumber::PermissionDenied, 2);
    EXPECT_EQ(70, errorNumberOf([&] { files.deleteFile("/d/r.txt"); }));
    EXPECT_EQ(70, errorNumberOf([&] { files.deleteFile("/d/r.txt"); }));
    EXPECT_TRUE(files.hasFile("/d/r.txt"));
    EXPECT_EQ(0, errorNumberOf([&] { files.deleteFile("/d/r.txt"); }));
    EXPECT_FALSE(files.hasFile("/d/r.txt"));
    EXPECT_EQ((std::vector<std::string>{"delete /d/r.txt"}), files.changes());
    ASSERT_EQ(3u, files.records().size());
    EXPECT_EQ(70, files.records()[0].errorNumber);
}

TEST(FakeFileSystem, ReaderSplitsLinesAndFailsPartWay) {
    FakeFileSystem files;
    files.addFile("/f", "one\r\ntwo\rx\n\nlast");
    auto reader = files.openForReading("/f");
    EXPECT_EQ("one", reader->readLine());
    EXPECT_EQ("two\rx", reader->readLine());
    EXPECT_EQ("", reader->readLine());
    EXPECT_EQ("last", reader->readLine());
    EXPECT_EQ(std::nullopt, reader->readLine());

    files.failReadingAfter("/f", 1, ErrorNumber::PathFileAccess);
    auto failing = files.openForReading("/f");
    EXPECT_EQ("one", failing->readLine());
    EXPECT_EQ(75, errorNumberOf([&] { failing->readLine(); }));
}

TEST(FakeFileSystem, IdentityChangesWithEveryWrite) {
    FakeFileSystem files;
    files.addFile("/f", "a");
    FileIdentity first = files.identity("/f");
    files.append("/f", "b");
    FileIdentity second = files.identity("/f");
    EXPECT_NE(first, second);
    EXPECT_EQ(2u, second.size);
    EXPECT_TRUE(files.entryExists(""));
    EXPECT_FALSE(files.fileExists("/"));
}

TEST(FakeMessageBoxes, AnswersFromTheQueueThenOk) {
    FakeMessageBoxes boxes;
    boxes.setNextAnswer(MessageAnswer::Cancel);
    EXPECT_EQ(MessageAnswer::Cancel,
              boxes.show("a", "T", MessageButtons::OkCancel, MessageIcon::Critical));
    EXPECT_EQ(MessageAnswer::Ok, boxes.show("b", "T", MessageButtons::Ok, MessageIcon::None));
    ASSERT_EQ(2u, boxes.shown().size());
    EXPECT_EQ(MessageIcon::Critical, boxes.shown()[0].icon);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), boxes.texts());
}

TEST(FakeEventLoop, AdvanceFiresTimersAsTheyFallDue) {
    FakeClock clock;
    FakeEventLoop loop(clock);
    int fast = 0, slow = 0;
    loop.startTimer(100ms, [&] { ++fast; });
    auto slowId = loop.startTimer(250ms, [&] { ++slow; });
    loop.advance(520ms);
    EXPECT_EQ(5, fast);
    EXPECT_EQ(2, slow);
    EXPECT_EQ(520ms, clock.elapsed());
    loop.stopTimer(slowId);
    loop.advance(500ms);
    EXPECT_EQ(2, slow);
}

TEST(FakeEventLoop, TimerHandlerIsNotReentered) {
    FakeClock clock;
    FakeEventLoop loop(clock);
    int calls = 0;
    FakeEventLoop::TimerId id = 0;
    id = loop.startTimer(10ms, [&] {
        ++calls;
        loop.fireTimer(id);
    });
    loop.fireTimer(id);
    EXPECT_EQ(1, calls);
}

TEST(FakeEventLoop, RunEndsWithTheQuitStatusAndSleepOnlyMovesTheClock) {
    FakeClock clock;
    FakeEventLoop loop(clock);
    int ticks = 0;
    loop.onCloseRequest([&] { loop.quit(3); });
    loop.startTimer(50ms, [&] {
        loop.sleep(5ms);
        if (++ticks == 4)
            loop.requestClose();
    });
    EXPECT_EQ(3, loop.run());
    EXPECT_EQ(4, ticks);
    EXPECT_EQ(4u, loop.sleeps().size());
    EXPECT_EQ(std::chrono::milliseconds(4 * 55), clock.elapsed());
}

TEST(FakeEventLoop, RunWithoutTimersWouldWaitForever) {
    FakeClock clock;
    FakeEventLoop loop(clock);
    EXPECT_THROW(loop.run(), std::logic_error);
}

TEST(FakePlatform, BundlesItsFakes) {
    FakePlatform fake;
    fake.libraries.addLibrary("libx.so", {{"f", &fake}});
    Platform& platform = fake.platform();
    EXPECT_EQ(&fake, platform.libraries.load("libx.so")->symbol("f"));
    EXPECT_EQ(nullptr, platform.libraries.load("libx.so")->symbol("g"));
    EXPECT_EQ(ErrorNumber::FileNotFound,
              errorNumberOf([&] { platform.libraries.load("liby.so"); }));
    platform.files.append("/a", "x");
    EXPECT_EQ("x", fake.files.content("/a"));
}

} // namespace
} // namespace kvl::test
