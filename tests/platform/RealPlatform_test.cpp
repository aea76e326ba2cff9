#include "platform/RealPlatform.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

TEST(RealPlatform, BundlesWorkingServices) {
    const char* argv[] = {"KvlTalvioPos", "-E", "cfg.txt"};
    RealPlatform real(3, argv);
    Platform& platform = real.platform();
    EXPECT_EQ("-E cfg.txt", platform.program.commandLine());
    EXPECT_EQ(0u, platform.system.osVersion().platformId);

    test::TempFolder folder;
    platform.files.append(folder.file("out.txt"), "x\r\n");
    EXPECT_EQ("x\r\n", test::readFile(folder.file("out.txt")));
    platform.events.quit(2);
    EXPECT_EQ(2, platform.events.run());
}

} // namespace
} // namespace kvl
