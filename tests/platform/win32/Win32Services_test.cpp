// The smaller Windows services, on the real system.

#include "platform/win32/Win32LibraryLoader.h"
#include "platform/win32/Win32ProgramInfo.h"
#include "platform/win32/Win32SystemInfo.h"

#include "platform/RunTimeError.h"
#include "support/ErrorNumber.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <windows.h>

namespace kvl {
namespace {

using test::errorNumberOf;

TEST(Win32ProgramInfo, TheArgumentsAreWhatFollowsTheProgramsNameAsWritten) {
    const char* const rows[][2] = {
        {"\"C:\\x y\\a\"b.exe -E \"C:\\A B\\x.TXT\"  ", "-E \"C:\\A B\\x.TXT\"  "},
        {"KvlTalvioPos.exe  \t-i", "-i"},
        {"KvlTalvioPos.exe", ""}};
    for (const auto& [line, arguments] : rows)
        EXPECT_EQ(argumentsOf(line), arguments) << line;

    EXPECT_EQ(folderOfModule("C:\\KvlTalvioPos.exe") + "|" + folderOfModule("C:\\A B\\k.exe") +
                  "|" + folderOfModule("k.exe"),
              "C:\\|C:\\A B|.");
}

TEST(Win32LibraryLoader, BindsByNameAndReportsAMissingOrBrokenLibrary) {
    Win32LibraryLoader loader;
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

    const DWORD attributes = ::GetFileAttributesA(system.commonAppDataFolder().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

} // namespace
} // namespace kvl
