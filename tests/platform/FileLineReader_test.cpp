#include "platform/FileLineReader.h"

#include "platform/PosixFileSystem.h"
#include "platform/RunTimeError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <vector>

namespace kvl {
namespace {

std::vector<std::string> linesOf(const std::string& bytes) {
    test::TempFolder folder;
    test::writeFile(folder.file("f.txt"), bytes);
    PosixFileSystem files;
    auto reader = files.openForReading(folder.file("f.txt"));
    std::vector<std::string> lines;
    while (auto line = reader->readLine())
        lines.push_back(*line);
    return lines;
}

struct LinesCase {
    std::string bytes;
    std::vector<std::string> lines;
};

class FileLineReaderLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(FileLineReaderLines, SplitsAtLineFeed) {
    EXPECT_EQ(GetParam().lines, linesOf(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(Cases, FileLineReaderLines,
                         ::testing::Values(LinesCase{"", {}}, LinesCase{"a\r\nb\r\n", {"a", "b"}},
                                           LinesCase{"a\nb\n", {"a", "b"}},
                                           LinesCase{"a\rb\r\n", {"a\rb"}},
                                           LinesCase{"a\r\r\n", {"a\r"}},
                                           LinesCase{"a\r\nlast", {"a", "last"}},
                                           LinesCase{"\r\n\n\r\nx", {"", "", "", "x"}},
                                           LinesCase{std::string("n\0ul\r\n\0", 7),
                                                     {std::string("n\0ul", 4), {"\0", 1}}},
                                           LinesCase{"end\r", {"end\r"}}));

TEST(FileLineReader, ReadsATenMegabyteLine) {
    std::string big(10 * 1024 * 1024, 'x');
    big[5 * 1024 * 1024] = '\r';
    std::vector<std::string> lines = linesOf(big + "\r\nnext\n");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(big, lines[0]);
    EXPECT_EQ("next", lines[1]);
}

TEST(FileLineReader, LinesAcrossChunkBoundaries) {
    std::string bytes;
    std::vector<std::string> expected;
    for (int i = 0; i < 20000; ++i) {
        expected.push_back(std::string(static_cast<std::size_t>(i % 23), 'a' + i % 26));
        bytes += expected.back() + (i % 2 ? "\r\n" : "\n");
    }
    EXPECT_EQ(expected, linesOf(bytes));
}

TEST(FileLineReader, ReadFailureIsARunTimeError) {
    test::TempFolder folder;
    // Reading a folder's descriptor fails with EISDIR.
    FileLineReader reader(UniqueFd(::open(folder.path().c_str(), O_RDONLY)), folder.path());
    try {
        reader.readLine();
        FAIL() << "no error";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(ErrorNumber::PathFileAccess, error.number());
    }
}

} // namespace
} // namespace kvl
