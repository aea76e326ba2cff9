#include "platform/FileLineReader.h"

#include "platform/PosixFileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace kvl {
namespace {

struct LinesCase {
    std::string bytes;
    std::vector<std::string> lines;
};

class FileLineReaderLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(FileLineReaderLines, SplitsAtLineFeedDroppingOneCarriageReturn) {
    test::TempFolder folder;
    test::writeFile(folder.file("f.txt"), GetParam().bytes);
    auto reader = PosixFileSystem().openForReading(folder.file("f.txt"));
    std::vector<std::string> lines;
    while (auto line = reader->readLine())
        lines.push_back(*line);
    EXPECT_EQ(GetParam().lines, lines);
}

// The long line spans several reads of the file.
const std::string Long = std::string(200000, 'x') + "\r" + std::string(70000, 'y');

INSTANTIATE_TEST_SUITE_P(Cases, FileLineReaderLines,
                         ::testing::Values(LinesCase{"", {}}, LinesCase{"a\r\nb\r\n", {"a", "b"}},
                                           LinesCase{"a\nb\n", {"a", "b"}},
                                           LinesCase{"a\rb\r\r\n", {"a\rb\r"}},
                                           LinesCase{"a\r\n\r\nlast", {"a", "", "last"}},
                                           LinesCase{std::string("n\0ul\r\n\0", 7),
                                                     {std::string("n\0ul", 4), {"\0", 1}}},
                                           LinesCase{Long + "\r\nnext\n", {Long, "next"}}));

} // namespace
} // namespace kvl
