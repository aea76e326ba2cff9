#include "StdcallProbe.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// The entry point called `name`, typed like the declaration `Declared`.
template <typename Declared> Declared* entryPoint(HMODULE library, const char* name) {
    // Through void(*)(), the one function pointer type every other converts to
    // without a warning.
    return reinterpret_cast<Declared*>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Where the stack pointer of the function calling this one stands. Called
// through a volatile pointer, so that each call is made and none is assumed to
// return what an earlier one did.
__attribute__((noinline)) const void* frameOfCaller() {
    return __builtin_frame_address(0);
}
const void* (*volatile callersStackPointer)() = frameOfCaller;

class StdcallProbe : public ::testing::Test {
protected:
    void SetUp() override {
        library = LoadLibraryA("stdcallprobe.dll");
        ASSERT_NE(nullptr, library) << "LoadLibraryA failed, error " << GetLastError();
    }
    void TearDown() override {
        if (library != nullptr) {
            FreeLibrary(library);
        }
    }

    HMODULE library = nullptr;
};

TEST_F(StdcallProbe, EntryPointsAreFoundByTheirPlainNamesOnly) {
    for (const char* name : {"Probe_Version", "Probe_Exchange", "Probe_Free"}) {
        EXPECT_NE(nullptr, entryPoint<void()>(library, name)) << name;
    }
    for (const char* name : {"Probe_Version@4", "_Probe_Version@4", "Probe_Exchange@8",
                             "_Probe_Exchange", "Probe_Free@0"}) {
        EXPECT_EQ(nullptr, entryPoint<void()>(library, name)) << name;
    }
}

TEST_F(StdcallProbe, CallsByNameFillTheCallersBuffersAndKeepItsStackInStep) {
    auto* version = entryPoint<decltype(Probe_Version)>(library, "Probe_Version");
    auto* exchange = entryPoint<decltype(Probe_Exchange)>(library, "Probe_Exchange");
    auto* release = entryPoint<decltype(Probe_Free)>(library, "Probe_Free");
    ASSERT_TRUE(version != nullptr && exchange != nullptr && release != nullptr);

    char text[11] = "..........";
    EXPECT_EQ(1, version(text));
    EXPECT_EQ(std::string("PROBE 1.00"), text);

    // A caller and a callee that disagree on who removes the arguments leave
    // the caller's stack pointer moved after every call.
    const char request[9] = "ABCDEFGH";
    char answer[9] = {};
    long total = 0;
    constexpr int Calls = 1000;
    const void* before = callersStackPointer();
    for (int i = 0; i < Calls; ++i) {
        total += exchange(request, answer);
    }
    EXPECT_EQ(before, callersStackPointer());
    EXPECT_EQ(std::string("HGFEDCBA"), answer);
    EXPECT_EQ(long{Calls} * (65 + 66 + 67 + 68 + 69 + 70 + 71 + 72), total);
    EXPECT_EQ(static_cast<short>(Calls + 1), release());
    EXPECT_EQ(0, release());
}

} // namespace
