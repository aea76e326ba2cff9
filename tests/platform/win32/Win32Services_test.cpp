// The smaller Windows services: the command line after the program's name,
// the program folder, one instance per folder, DLLs bound by name, the
// version record and the common application-data folder.

#include "platform/win32/MutexInstanceGuard.h"
#include "platform/win32/Win32LibraryLoader.h"
#include "platform/win32/Win32ProgramInfo.h"
#include "platform/win32/Win32SystemInfo.h"

#include "platform/RunTimeError.h"
#include "support/ErrorNumber.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <windows.h>

namespace kvl {
namespace {

using test::errorNumberOf;

TEST(Win32ProgramInfo, TheArgumentsAreWhatFollowsTheProgramsNameAsWritten) {
    const char* const rows[][2] = {
        {"\"C:\\Programmi\\KVL TalvioPos\\KvlTalvioPos.exe\" -E \"C:\\A B\\x.TXT\"",
         "-E \"C:\\A B\\x.TXT\""},
        {"KvlTalvioPos.exe  \t-i", "-i"},
        {"KvlTalvioPos.exe", ""},
        {"\"C:\\x y\\a\"b.exe -V  ", "-V  "},
        {"", ""}};
    for (const auto& [line, arguments] : rows)
        EXPECT_EQ(argumentsOf(line), arguments) << line;

    EXPECT_EQ(folderOfModule("C:\\KvlTalvioPos.exe"), "C:\\");
    EXPECT_EQ(folderOfModule("C:\\Programmi\\KVL TalvioPos\\KvlTalvioPos.exe"),
              "C:\\Programmi\\KVL TalvioPos");
    EXPECT_EQ(folderOfModule("\\\\server\\share\\k.exe"), "\\\\server\\share");
    EXPECT_EQ(folderOfModule("k.exe"), ".");

    Win32ProgramInfo program;
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_EQ(program.programFolder(), folderOfModule(path));
}

TEST(MutexInstanceGuard, OneInstancePerProgramFolderHoweverTheFolderIsSpelt) {
    auto first = std::make_optional<MutexInstanceGuard>("C:\\Programmi\\KVL TalvioPos");
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_FALSE(first->anotherInstanceRunning()); // its own mutex is no other instance
    EXPECT_TRUE(MutexInstanceGuard("c:/programmi/kvl talviopos/").anotherInstanceRunning());
    EXPECT_FALSE(MutexInstanceGuard("C:\\Programmi\\Altro").anotherInstanceRunning());
    EXPECT_EQ(first->mutexName().rfind("Global\\KvlTalvioPos-", 0), 0u);
    first.reset(); // the mutex ends with its holder
    EXPECT_FALSE(MutexInstanceGuard("C:\\Programmi\\KVL TalvioPos").anotherInstanceRunning());
}

TEST(Win32LibraryLoader, BindsByNameAndReportsAMissingOrBrokenLibrary) {
    Win32LibraryLoader loader;
    EXPECT_EQ(loader.fileName("Iae17"), "Iae17.dll");

    auto kernel = loader.load("kernel32.dll");
    EXPECT_NE(kernel->symbol("GetTickCount"), nullptr);
    EXPECT_EQ(kernel->symbol("IAE17AX_Payment"), nullptr);

    test::TempFolder folder;
    EXPECT_EQ(errorNumberOf([&] { loader.load(folder.file("Iae17.dll")); }), 53);
    test::writeFile(folder.file("Broken.dll"), "not a library");
    EXPECT_EQ(errorNumberOf([&] { loader.load(folder.file("Broken.dll")); }), 48);
}

TEST(Win32SystemInfo, TheVersionRecordAndTheCommonApplicationDataFolder) {
    Win32SystemInfo system;
    const SystemInfo::Version version = system.osVersion();
    EXPECT_EQ(version.platformId, 2u) << "the NT family";
    EXPECT_GE(version.major, 5u);

    const std::string folder = system.commonAppDataFolder();
    ASSERT_FALSE(folder.empty());
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << folder;
}

} // namespace
} // namespace kvl
