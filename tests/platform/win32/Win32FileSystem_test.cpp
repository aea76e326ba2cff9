// The file services on Windows, through the real Win32 calls: names matched by
// the system, hidden and system files absent, both slashes, drive roots, and
// a file another handle holds or that is read-only refused with the numbers
// the polling cycle retries on (70, 75).

#include "platform/win32/Win32FileSystem.h"

#include "platform/RunTimeError.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"
#include "support/ErrorNumber.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <windows.h>

namespace kvl {
namespace {

using test::errorNumberOf;

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryA(at("Sub").c_str(), nullptr));
        const char* const entries[][2] = {{"Cmd.txt", "a"},    {"Hidden.txt", "h"},
                                          {"System.txt", "s"}, {"Sub\\inner", "d"},
                                          {"\xE9t\xE9", "f"},  {"ReadOnly.txt", "r"}};
        for (const auto& [name, bytes] : entries)
            test::writeFile(at(name), bytes);
        ::SetFileAttributesA(at("Hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
        ::SetFileAttributesA(at("System.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
        ::SetFileAttributesA(at("ReadOnly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void TearDown() override {
        ::SetFileAttributesA(at("ReadOnly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    std::string at(const std::string& name) const { return folder.path() + "\\" + name; }

    UniqueHandle hold(const std::string& name, DWORD share) {
        UniqueHandle handle(::CreateFileA(at(name).c_str(), GENERIC_READ | GENERIC_WRITE, share,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(handle.valid()) << name;
        return handle;
    }

    test::TempFolder folder;
    Win32FileSystem files;
};

TEST_F(Win32FileSystemTest, FindsNamesWithoutRegardToCaseAndTellsWhyByNumber) {
    // Name asked, content found or "#" and the error number.
    const std::string tooLong(300, 'x');
    const char* const rows[][2] = {{"Cmd.txt", "a"},
                                   {"CMD.TXT", "a"},
                                   {"sub/INNER", "d"},
                                   {"Sub\\.\\inner", "d"},
                                   {"Sub\\..\\cmd.txt", "a"},
                                   {"\xC9T\xC9", "f"},
                                   {"Hidden.txt", "#53"},
                                   {"System.txt", "#53"},
                                   {"none.txt", "#53"},
                                   {"none\\x.txt", "#76"},
                                   {"Sub", "#75"},
                                   {tooLong.c_str(), "#52"}};
    for (const auto& [asked, found] : rows) {
        const std::string path = at(asked);
        std::string content;
        const int error = errorNumberOf([&] { content = files.readAll(path); });
        EXPECT_EQ(error ? "#" + std::to_string(error) : content, found) << asked;
        EXPECT_EQ(files.fileExists(path), error == 0) << asked;
        EXPECT_EQ(files.entryExists(path), error == 0 || error == 75) << asked;
        EXPECT_EQ(files.isDirectory(path), error == 75) << asked;
    }
}

TEST_F(Win32FileSystemTest, BothSlashesSeparateFoldersAndDriveRootsAreTheDrives) {
    EXPECT_TRUE(files.containsSeparator("a/b") && files.containsSeparator("C:\\a"));
    EXPECT_FALSE(files.containsSeparator("SR_DATI.TXT"));
    EXPECT_EQ(files.joinPath("C:\\", "x") + "|" + files.joinPath("C:\\a", "x") + "|" +
                  files.joinPath("C:/a/", "x"),
              "C:\\x|C:\\a\\x|C:/a/x");

    // The root of a drive is marked hidden and system, and still is there.
    char system[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 2u);
    const std::string drive(system, 2);
    EXPECT_TRUE(files.entryExists(drive));
    EXPECT_TRUE(files.entryExists(drive + "\\"));
    EXPECT_TRUE(files.entryExists("")) << "an empty drive root counts as present";

    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'D'; --letter) {
        if (drives & (1u << (letter - 'A')))
            continue;
        const std::string missing = std::string(1, letter) + ":";
        EXPECT_FALSE(files.entryExists(missing)) << missing;
        EXPECT_FALSE(files.fileExists(missing + "\\ECR\\SR_DATI.TXT"));
        EXPECT_EQ(errorNumberOf([&] { files.append(missing + "\\ECR\\SR_OUT.TXT", "x"); }), 76);
        break;
    }
}

TEST_F(Win32FileSystemTest, AFileHeldWithoutSharingIsRefusedWith70UntilReleased) {
    {
        UniqueHandle held = hold("Cmd.txt", 0);
        EXPECT_TRUE(files.fileExists(at("Cmd.txt"))) << "held, yet there";
        EXPECT_EQ(errorNumberOf([&] { files.readAll(at("Cmd.txt")); }), 70);
        EXPECT_EQ(errorNumberOf([&] { files.openForReading(at("Cmd.txt")); }), 70);
        EXPECT_EQ(errorNumberOf([&] { files.deleteFile(at("Cmd.txt")); }), 70);
        EXPECT_EQ(errorNumberOf([&] { files.append(at("Cmd.txt"), "x"); }), 70);
    }
    EXPECT_EQ(files.readAll(at("Cmd.txt")), "a");
    files.deleteFile(at("cmd.TXT"));
    EXPECT_FALSE(files.fileExists(at("Cmd.txt")));
}

// wine does not refuse a read in a locked region, so the lock violation is
// checked by its number alone, with the other codes of file access.
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

// The program deletes the command file it has just read while its reader is
// still open, as an open file can be unlinked elsewhere: the deletion goes
// through, the reader keeps the version it opened, and the file is gone once
// the reader is (some systems keep the name until then).
TEST_F(Win32FileSystemTest, AFileBeingReadCanBeDeletedAndStillReadsWhatItOpened) {
    auto reader = files.openBytes(at("Cmd.txt"));
    EXPECT_EQ(reader->identity().size, 1u);
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(at("CMD.TXT")); }), 0);
    char byte = 0;
    EXPECT_EQ(reader->read(&byte, 1), 1u);
    EXPECT_EQ(byte, 'a');
    reader.reset();
    EXPECT_FALSE(files.fileExists(at("Cmd.txt")));
}

TEST_F(Win32FileSystemTest, AReadOnlyFileRefusesChangesWith75AndKeepsItsContent) {
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(at("ReadOnly.txt")); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files.append(at("ReadOnly.txt"), "x"); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files.writeWhole(at("ReadOnly.txt"), "x"); }), 75);
    EXPECT_EQ(files.readAll(at("ReadOnly.txt")), "r");
    EXPECT_FALSE(files.fileExists(at("ReadOnly.txt.new"))) << "no temporary file left";
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(at("Hidden.txt")); }), 53);
    EXPECT_EQ(errorNumberOf([&] { files.deleteFile(at("Sub")); }), 75);
}

TEST_F(Win32FileSystemTest, WritesKeepTheExistingNameAndReadLinesEndAtAnyLineEnd) {
    files.append(at("cmd.TXT"), std::string("1\0\r\n", 4));
    EXPECT_EQ(test::readFile(at("Cmd.txt")), std::string("a1\0\r\n", 5));
    const FileIdentity before = files.identity(at("CMD.txt"));
    EXPECT_EQ(before.size, 5u);
    files.writeWhole(at("CMD.TXT"), "x\r\ny\nz\rw\r");
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(at("cmd.txt").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    ::FindClose(search);
    EXPECT_STREQ(found.cFileName, "Cmd.txt");
    EXPECT_NE(files.identity(at("Cmd.txt")), before);

    auto reader = files.openForReading(at("Cmd.txt"));
    std::string lines;
    while (auto line = reader->readLine())
        lines += "[" + *line + "]";
    EXPECT_EQ(lines, "[x][y][z][w]") << "a line ends at CR LF, a lone LF or a lone CR";

    files.append(at("Sub\\New.txt"), "n"); // a new file keeps the name as given
    EXPECT_EQ(test::readFile(at("Sub\\New.txt")), "n");
    EXPECT_EQ(errorNumberOf([&] { files.writeWhole(at("none\\x.txt"), "z"); }), 76);
    EXPECT_EQ(errorNumberOf([&] { files.append(at("Sub"), "z"); }), 75);
}

} // namespace
} // namespace kvl
