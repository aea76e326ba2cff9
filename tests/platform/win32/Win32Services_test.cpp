// The smaller Windows services, on the real system.

#include "platform/SharedLibrary.h"
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

// Where the caller's stack pointer stands; called through a volatile pointer,
// so that each call is made.
__attribute__((noinline)) const void* frameOfCaller() {
    return __builtin_frame_address(0);
}
const void* (*volatile callersStackPointer)() = frameOfCaller;

// Iae17.dll, beside the test, called as the cash registers' programs declare
// it: a library built with another calling convention than the standard one
// would move the caller's stack pointer at every call.
TEST(Win32LibraryLoader, BindsIae17ByNameAndReportsAMissingOrBrokenLibrary) {
    Win32LibraryLoader loader;
    auto iae17 = loader.load("Iae17.dll");
    EXPECT_EQ(iae17->symbol("IAE17AX_GetVersion@4"), nullptr);
    using Version = short(KVL_STDCALL*)(char*);
    auto version = reinterpret_cast<Version>(
        reinterpret_cast<void (*)()>(iae17->symbol("IAE17AX_GetVersion")));
    ASSERT_NE(version, nullptr);
    char text[16] = {};
    const void* before = callersStackPointer();
    for (int call = 0; call < 100; ++call)
        version(text);
    EXPECT_EQ(before, callersStackPointer());

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
