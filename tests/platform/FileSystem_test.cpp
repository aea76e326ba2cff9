// The file services' rules, one suite for the system's file system (POSIX or
// Win32) and the in-memory one the unit tests use, so that none drifts from
// the others.

#include "platform/LineSplitter.h"
#include "support/ErrorNumber.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32FileSystem.h"
#include <windows.h>
#else
#include "platform/posix/ErrorFromErrno.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/MemoryFileSystem.h"
#include <csignal>
#include <sys/resource.h>
#endif

namespace kvl {
namespace {

using test::errorNumberOf;
using Rows = std::vector<std::pair<std::string, std::string>>;

// On Windows the system matches names, so "cmd.txt" is "Cmd.txt"; elsewhere
// the two sit side by side.
#ifdef _WIN32
constexpr bool OnWindows = true;
const char* const Hidden = "Hidden.txt";
#else
constexpr bool OnWindows = false;
const char* const Hidden = ".hidden";
#endif

template <class Files> struct Folder {
    std::string at(const std::string& name) const { return temp.file(name); }
    void write(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(at(name)).parent_path());
        test::writeFile(at(name), bytes);
    }
    std::string read(const std::string& name) const { return test::readFile(at(name)); }
    test::TempFolder temp;
    Files files;
};

#ifndef _WIN32
template <> struct Folder<test::MemoryFileSystem> {
    std::string at(const std::string& name) const { return "/kvl/" + name; }
    void write(const std::string& name, const std::string& bytes) {
        files.addFile(at(name), bytes);
    }
    std::string read(const std::string& name) const { return files.content(at(name)); }
    test::MemoryFileSystem files;
};
using Implementations = ::testing::Types<PosixFileSystem, test::MemoryFileSystem>;
#else
using Implementations = ::testing::Types<Win32FileSystem>;
#endif

template <class Files> class FileSystemTest : public ::testing::Test, public Folder<Files> {
protected:
    void SetUp() override {
        const char* const entries[][2] = {{"Cmd.txt", "a"},   {Hidden, "c"},
                                          {"Sub/inner", "d"}, {".cfg/Conf.txt", "e"},
                                          {"\xE9t\xE9", "f"}, {"cmd.txt", "b"}};
        for (const auto& [name, bytes] : entries)
            if (!OnWindows || name != std::string("cmd.txt"))
                this->write(name, bytes);
#ifdef _WIN32
        ::SetFileAttributesA(this->at(Hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
        this->write("System.txt", "s");
        ::SetFileAttributesA(this->at("System.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
#endif
    }
};

TYPED_TEST_SUITE(FileSystemTest, Implementations);

TYPED_TEST(FileSystemTest, FindsTheExactNameThenACaseVariantElseTellsWhyByNumber) {
    // Name asked, content found or "#" and the error number. With no exact match the first
    // case variant in sorted order ("Cmd.txt") wins; a hidden file is absent.
    Rows rows = {{"Cmd.txt", "a"},       {"cmd.txt", OnWindows ? "a" : "b"},
                 {"CMD.TXT", "a"},       {"./sub//INNER", "d"},
                 {".CFG/conf.TXT", "e"}, {"\xC9T\xC9", "f"},
                 {Hidden, "#53"},        {"none.txt", "#53"},
                 {"none/x.txt", "#76"},  {"Cmd.txt/x", "#76"},
                 {"Sub", "#75"},         {"Sub/../CMD.TXT", "a"}};
#ifdef _WIN32
    rows.insert(rows.end(),
                {{"Sub\\.\\inner", "d"}, {"System.txt", "#53"}, {std::string(300, 'x'), "#52"}});
#endif
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
    EXPECT_EQ(files.readAll(files.joinPath(this->at("Sub"), "inner")), "d");
    EXPECT_TRUE(files.containsSeparator("a/b") && !files.containsSeparator("SR_DATI.TXT"));
    EXPECT_EQ(files.containsSeparator("C:\\a"), OnWindows);
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
    auto replaced = files.openBytes(this->at("CMD.TXT"));
    auto deleted = files.openBytes(this->at("Sub/INNER"));
    const FileIdentity opened = replaced->identity();
    files.append(this->at("cMD.txt"), "+");
    EXPECT_EQ(replaced->identity().size, 2u);
    if (!OnWindows) // which refuses to replace an open file
        files.writeWhole(this->at("CMD.TXT"), "new file");
    files.deleteFile(this->at("sub/inner"));
    EXPECT_EQ(readThrough(*replaced), "a+");
    EXPECT_EQ(readThrough(*deleted), "d");
    EXPECT_NE(replaced->identity(), opened);
    EXPECT_EQ(files.identity(this->at("Cmd.txt")).size, OnWindows ? 2u : 8u);
    deleted.reset();
    EXPECT_FALSE(files.fileExists(this->at("Sub/inner")));
}

TYPED_TEST(FileSystemTest, WritesAndDeletionsGoToTheExistingCaseVariant) {
    auto& files = this->files;
    files.append(this->at("CMD.txt"), std::string("1\0\r\n", 4));
    EXPECT_EQ(this->read("Cmd.txt"), std::string("a1\0\r\n", 5));
    files.writeWhole(this->at("cMD.TXT"), "new");
    EXPECT_EQ(this->read("Cmd.txt"), "new");
    EXPECT_EQ(files.readAll(this->at("cmd.txt")), OnWindows ? "new" : "b");
#ifdef _WIN32 // any spelling finds it: the name kept is the listing's
    WIN32_FIND_DATAA found{};
    ::FindClose(::FindFirstFileA(this->at("cmd.txt").c_str(), &found));
    EXPECT_STREQ(found.cFileName, "Cmd.txt");
#endif
    files.append(this->at("Sub/New.txt"), "n"); // a new file keeps the name as given
    EXPECT_EQ(this->read("Sub/New.txt"), "n");

    files.deleteFile(this->at("CMD.TXT"));
    EXPECT_EQ(errorNumberOf([&] { files.readAll(this->at("Cmd.txt")); }), OnWindows ? 53 : 0);
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(this->at("gone.txt")); }), 53);
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(this->at(Hidden)); }), 53);
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(this->at("Sub")); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files.append(this->at("Sub/inner/x.txt"), "z"); }), 76);
    EXPECT_EQ(errorNumberOf([&] { files.append(this->at("Sub"), "z"); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files.writeWhole(this->at("none/x.txt"), "z"); }), 76);
}

#ifdef _WIN32
// wine does not refuse a read in a locked region, so the lock violation is
// checked by its number alone.
TEST(Win32Error, SystemErrorsMapOntoTheProgramsNumbersKeepingTheReasonAndPath) {
    const std::pair<unsigned long, int> cases[] = {
        {ERROR_FILE_NOT_FOUND, 53},       {ERROR_PATH_NOT_FOUND, 76},    {ERROR_INVALID_DRIVE, 76},
        {ERROR_BAD_NETPATH, 76},          {ERROR_SHARING_VIOLATION, 70}, {ERROR_LOCK_VIOLATION, 70},
        {ERROR_ACCESS_DENIED, 75},        {ERROR_WRITE_PROTECT, 75},     {ERROR_INVALID_NAME, 52},
        {ERROR_FILENAME_EXCED_RANGE, 52}, {ERROR_DISK_FULL, 61},         {ERROR_NOT_READY, 71}};
    for (auto [code, number] : cases) {
        const RunTimeError error = errorFromWin32(code, "C:\\ECR\\SR_DATI.TXT");
        EXPECT_EQ(error.number(), number) << code;
        EXPECT_NE(error.description().find(systemMessage(code)), std::string::npos);
        EXPECT_NE(error.description().find(": C:\\ECR\\SR_DATI.TXT"), std::string::npos);
    }
}

// A file another program holds without sharing is refused with 70 until
// released; a read-only one with 75, whole, and no temporary file left. The
// root of a drive is marked hidden and system, and still is there.
using Win32FileSystemTest = FileSystemTest<Win32FileSystem>;
TEST_F(Win32FileSystemTest, HeldAndReadOnlyFilesAreRefusedWithTheNumbersThePollingRetries) {
    const std::string held = at("Cmd.txt"), readOnly = at("System.txt");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        UniqueHandle handle(::CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(handle.valid());
        EXPECT_TRUE(files.fileExists(held)) << "held, yet there";
        EXPECT_EQ(errorNumberOf([&] { files.openForReading(held); }), 70);
        EXPECT_EQ(errorNumberOf([&] { files.deleteFile(held); }), 70);
        EXPECT_EQ(errorNumberOf([&] { files.append(held, "x"); }), 70);
    }
    EXPECT_EQ(files.readAll(held), "a");
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(readOnly); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files.append(readOnly, "x"); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files.writeWhole(readOnly, "x"); }), 75);
    EXPECT_EQ(test::readFile(readOnly), "s");
    EXPECT_FALSE(test::fileExists(readOnly + ".new"));
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    char system[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 2u);
    EXPECT_TRUE(files.entryExists(std::string(system, 2)) &&
                files.entryExists(std::string(system, 3)));
}
#else
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

// A lowered file size limit cuts a write short as a full disk does, even for
// root: neither a whole write nor an append leaves any part of it behind. A
// whole write through a symbolic link goes where the link leads, and the link
// stays.
using PosixFileSystemTest = FileSystemTest<PosixFileSystem>;
TEST_F(PosixFileSystemTest, AFailedOrCutWriteLeavesNoPartOfItAndALinkStaysALink) {
    const std::string block(64, 'x');
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit lowered{32, previous.rlim_max};
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    EXPECT_NE(0, errorNumberOf([&] { files.writeWhole(at("Cmd.txt"), block); }));
    EXPECT_NE(0, errorNumberOf([&] { files.append(at("Sub/inner"), block); }));
    EXPECT_NE(0, errorNumberOf([&] { files.append(at("fresh.txt"), block); }));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(read("Cmd.txt") + read("Sub/inner"), "ad") << "half a block must not stay behind";
    EXPECT_FALSE(test::fileExists(at(".Cmd.txt.new")));
    EXPECT_FALSE(test::fileExists(at("fresh.txt"))) << "nor an empty file";

    std::filesystem::create_symlink("Sub/inner", at("Link.txt"));
    files.writeWhole(at("link.txt"), "through");
    EXPECT_TRUE(std::filesystem::is_symlink(at("Link.txt")));
    EXPECT_EQ(read("Sub/inner"), "through");
}
#endif

} // namespace
} // namespace kvl
