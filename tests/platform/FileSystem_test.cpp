// The file services' rules, on the real POSIX file system and on the
// in-memory one the unit tests use: one table each, run on both, so that the
// fake cannot drift from the real thing.

#include "platform/LineSplitter.h"
#include "platform/posix/ErrorFromErrno.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/ErrorNumber.h"
#include "support/MemoryFileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>

namespace kvl {
namespace {

using test::errorNumberOf;

// A folder of either file system, with files put in and read back by their
// exact names.
template <class Files> struct Folder;

template <> struct Folder<PosixFileSystem> {
    std::string at(const std::string& name) const { return temp.file(name); }
    void write(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(at(name)).parent_path());
        test::writeFile(at(name), bytes);
    }
    void makeFolder(const std::string& name) { std::filesystem::create_directories(at(name)); }
    std::string read(const std::string& name) const { return test::readFile(at(name)); }

    test::TempFolder temp;
    PosixFileSystem files;
};

template <> struct Folder<test::MemoryFileSystem> {
    std::string at(const std::string& name) const { return "/kvl/" + name; }
    void write(const std::string& name, const std::string& bytes) {
        files.addFile(at(name), bytes);
    }
    void makeFolder(const std::string& name) { files.addDirectory(at(name)); }
    std::string read(const std::string& name) const { return files.content(at(name)); }

    test::MemoryFileSystem files;
};

template <class Files> class FileSystemTest : public ::testing::Test, public Folder<Files> {
protected:
    void SetUp() override {
        this->makeFolder("Sub");
        const char* const entries[][2] = {{"Cmd.txt", "a"},       {"CMD.TXT", "b"},
                                          {".hidden", "c"},       {"Sub/inner", "d"},
                                          {".cfg/Conf.txt", "e"}, {"\xE9t\xE9", "f"}};
        for (const auto& [name, bytes] : entries)
            this->write(name, bytes);
    }
};

using Implementations = ::testing::Types<PosixFileSystem, test::MemoryFileSystem>;
TYPED_TEST_SUITE(FileSystemTest, Implementations);

TYPED_TEST(FileSystemTest, FindsTheExactNameThenACaseVariantElseTellsWhyByNumber) {
    // Name asked, content found or "#" and the error number. With no exact match the first
    // case variant in sorted order ("CMD.TXT") wins; a name beginning with '.' is absent,
    // though such a folder is passed through.
    const char* const rows[][2] = {
        {"Cmd.txt", "a"},       {"CMD.TXT", "b"},     {"cmd.txt", "b"},   {"./sub//INNER", "d"},
        {".CFG/conf.TXT", "e"}, {"\xC9T\xC9", "f"},   {".hidden", "#53"}, {"none.txt", "#53"},
        {"none/x.txt", "#76"},  {"Cmd.txt/x", "#76"}, {"Sub", "#75"},     {"Sub/../cmd.TXT", "b"}};
    auto& files = this->files;
    for (const auto& [asked, found] : rows) {
        const std::string path = this->at(asked);
        std::string content;
        const int error = errorNumberOf([&] { content = files.readAll(path); });
        EXPECT_EQ(error ? "#" + std::to_string(error) : content, found) << asked;
        EXPECT_EQ(files.fileExists(path), error == 0) << asked;
        EXPECT_EQ(files.entryExists(path), error == 0 || error == 75) << asked;
        EXPECT_EQ(files.isDirectory(path), error == 75) << asked;
    }
    EXPECT_TRUE(files.entryExists("")); // an empty drive root counts as present
    EXPECT_EQ(files.joinPath("/", "x") + files.joinPath("/a", "x"), "/x/a/x");
    EXPECT_TRUE(files.containsSeparator("a/b") && !files.containsSeparator("C:\\a\\b"));
}

TYPED_TEST(FileSystemTest, LinesEndAtCrLfALoneCrOrALoneLf) {
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
                                    {"\r", "[]"},
                                    {"n\0ul\r\n\0"s, "[n\0ul][\0]"s},
                                    {Edge + "\r\nnext", "[" + Edge + "][next]"},
                                    {Long + "\r\nnext\n", "[" + Long + "][next]"}};
    for (const auto& [bytes, expected] : cases) {
        this->write("f.txt", bytes);
        auto reader = this->files.openForReading(this->at("f.txt"));
        std::string lines;
        while (auto line = reader->readLine())
            lines += "[" + *line + "]";
        EXPECT_EQ(lines, expected) << bytes.substr(0, 20);
    }
    // A limit reads only the bytes of the version that was measured, from where the file stands.
    this->write("f.txt", "skip\r\nfirst\r\nsecond\r\nthird");
    auto bytes = this->files.openBytes(this->at("f.txt"));
    bytes->seek(6);
    LineSplitter limited(*bytes, 12);
    EXPECT_EQ(limited.readLine(), "first");
    EXPECT_EQ(limited.readLine(), "secon");
    EXPECT_EQ(limited.readLine(), std::nullopt);
}

// An open file keeps reading the file it opened: what is appended to it, but
// not a file written whole in its place, and it outlives its name.
TYPED_TEST(FileSystemTest, AnOpenFileReadsTheFileItOpenedWhateverThePathNamesLater) {
    auto& files = this->files;
    auto readThrough = [](ByteReader& reader) {
        std::string bytes(64, '\0');
        bytes.resize(reader.read(bytes.data(), bytes.size()));
        return bytes;
    };
    auto replaced = files.openBytes(this->at("cmd.txt"));
    auto deleted = files.openBytes(this->at("Cmd.txt"));
    const FileIdentity opened = replaced->identity();
    files.append(this->at("CMD.TXT"), "+");
    EXPECT_EQ(replaced->identity().size, 2u);
    files.writeWhole(this->at("CMD.TXT"), "new file");
    files.deleteFile(this->at("Cmd.txt"));
    EXPECT_EQ(readThrough(*replaced), "b+");
    EXPECT_EQ(readThrough(*deleted), "a");
    EXPECT_NE(replaced->identity(), opened);
    EXPECT_EQ(files.identity(this->at("CMD.TXT")).size, 8u);
}

TYPED_TEST(FileSystemTest, WritesAndDeletionsGoToTheExistingCaseVariant) {
    auto& files = this->files;
    files.append(this->at("cmd.txt"), std::string("1\0\r\n", 4));
    EXPECT_EQ(this->read("CMD.TXT"), std::string("b1\0\r\n", 5));
    const FileIdentity before = files.identity(this->at("CMD.TXT"));
    files.writeWhole(this->at("cmd.TXT"), "new");
    EXPECT_EQ(this->read("CMD.TXT"), "new");
    EXPECT_EQ(this->read("Cmd.txt"), "a");
    EXPECT_EQ(files.identity(this->at("cmd.txt")).size, 3u);
    EXPECT_NE(files.identity(this->at("cmd.txt")), before);
    files.append(this->at("Sub/New.txt"), "n"); // a new file keeps the name as given
    EXPECT_EQ(this->read("Sub/New.txt"), "n");

    files.deleteFile(this->at("cmd.txt"));
    EXPECT_EQ(this->read("Cmd.txt"), "a");
    EXPECT_EQ(files.readAll(this->at("CMD.TXT")), "a"); // only Cmd.txt is left
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(this->at("gone.txt")); }), 53);
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(this->at("Sub")); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files.append(this->at("Cmd.txt/x.txt"), "z"); }), 76);
    EXPECT_EQ(errorNumberOf([&] { files.append(this->at("Sub"), "z"); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files.writeWhole(this->at("none/x.txt"), "z"); }), 76);
}

TEST(PosixFileSystem, SystemErrorsMapOntoTheProgramsNumbersKeepingTheReason) {
    const std::pair<int, int> cases[] = {{ENOENT, 53}, {ENOTDIR, 76}, {EACCES, 70}, {EPERM, 70},
                                         {EROFS, 70},  {EISDIR, 75},  {EIO, 75},    {ENOSPC, 75}};
    for (auto [errnoValue, number] : cases) {
        const RunTimeError error = errorFromErrno(errnoValue, "x.txt");
        EXPECT_EQ(error.number(), number) << errnoValue;
        EXPECT_NE(error.description().find(std::strerror(errnoValue)), std::string::npos);
    }
    EXPECT_EQ(errorFromErrno(ENOENT, "/no/such/folder/x.txt").number(), 76);
}

TEST(PosixFileSystem, AFailedOrCutWriteLeavesNoPartOfIt) {
    test::TempFolder folder;
    PosixFileSystem files;
    test::writeFile(folder.file("whole.txt"), "old");
    test::writeFile(folder.file("log.txt"), "a");
    // A lowered file size limit cuts a write short as a full disk does, even for root.
    const std::string block(64, 'x');
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit lowered{32, previous.rlim_max};
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    EXPECT_NE(0, errorNumberOf([&] { files.writeWhole(folder.file("whole.txt"), block); }));
    EXPECT_NE(0, errorNumberOf([&] { files.append(folder.file("log.txt"), block); }));
    EXPECT_NE(0, errorNumberOf([&] { files.append(folder.file("fresh.txt"), block); }));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ("old", test::readFile(folder.file("whole.txt")));
    EXPECT_EQ("a", test::readFile(folder.file("log.txt"))) << "half a block must not stay behind";
    EXPECT_FALSE(test::fileExists(folder.file(".whole.txt.new")));
    EXPECT_FALSE(test::fileExists(folder.file("fresh.txt"))) << "nor an empty file";
}

// A file reached through a symbolic link is written where the link leads,
// and the link stays.
TEST(PosixFileSystem, AWholeWriteThroughASymbolicLinkKeepsTheLink) {
    test::TempFolder folder;
    PosixFileSystem files;
    std::filesystem::create_directories(folder.file("settings"));
    test::writeFile(folder.file("settings/Param.txt"), "old");
    std::filesystem::create_symlink("settings/Param.txt", folder.file("Link.txt"));
    files.writeWhole(folder.file("link.txt"), "through");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("Link.txt")));
    EXPECT_EQ("through", test::readFile(folder.file("settings/Param.txt")));
}

} // namespace
} // namespace kvl
