#include "config/ParameterFile.h"

#include "support/ConfigFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace kvl {
namespace {

using test::ConfigFixture;

struct VersionCase {
    unsigned platformId, major, minor;
    bool vista;
};

class IsOsVistaTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(IsOsVistaTest, NtPlatformWithMajorSixOnly) {
    ConfigFixture env;
    env.fake.system.version = {GetParam().major, GetParam().minor, 7601, GetParam().platformId};
    EXPECT_EQ(IsOS_Vista(env.program), GetParam().vista)
        << GetParam().platformId << " " << GetParam().major << "." << GetParam().minor;
}

INSTANTIATE_TEST_SUITE_P(Versions, IsOsVistaTest,
                         ::testing::Values(VersionCase{2, 6, 0, true}, VersionCase{2, 6, 1, true},
                                           VersionCase{2, 6, 3, true}, VersionCase{2, 5, 1, false},
                                           VersionCase{2, 10, 0, false},
                                           VersionCase{1, 6, 0, false},
                                           VersionCase{0, 6, 1, false}));

class DataFolderTest : public ::testing::Test {
protected:
    void runOnVista() { env.fake.system.version = {6, 1, 7601, 2}; }
    // A common application-data folder in the test's temporary folder.
    std::string commonFolder() { return env.path("common"); }

    ConfigFixture env;
};

TEST_F(DataFolderTest, CommonAppDataFolderIsReturned) {
    env.fake.system.appDataFolder = "/srv/common";
    EXPECT_EQ(Read_CSIDL_COMMON_APPDATA(env.program), "/srv/common");
    EXPECT_TRUE(env.messageTexts().empty());
}

TEST_F(DataFolderTest, CommonAppDataFolderEndsAtItsFirstNul) {
    env.fake.system.appDataFolder = std::string("/srv/common\0junk", 16);
    EXPECT_EQ(Read_CSIDL_COMMON_APPDATA(env.program), "/srv/common");
}

TEST_F(DataFolderTest, MissingCommonAppDataFolderIsReported) {
    env.fake.system.appDataFolder = "";
    EXPECT_EQ(Read_CSIDL_COMMON_APPDATA(env.program), "");
    ASSERT_EQ(env.fake.messages.shown().size(), 1u);
    EXPECT_EQ(env.fake.messages.shown()[0].text, "Path non disponibile");
    EXPECT_EQ(env.fake.messages.shown()[0].title, ProgramTitle);
    EXPECT_EQ(env.fake.messages.shown()[0].buttons, MessageButtons::Ok);
}

TEST_F(DataFolderTest, NotVistaUsesTheProgramFolderUnchecked) {
    env.fake.program.folder = "/nowhere/kvl";
    env.fake.system.appDataFolder = "/srv/common";
    EXPECT_TRUE(SettleDataFolder(env.program));
    EXPECT_EQ(env.program.DataFolder, "/nowhere/kvl");
    EXPECT_TRUE(env.messageTexts().empty());
}

TEST_F(DataFolderTest, VistaUsesTheProgramsFolderUnderCommonAppData) {
    runOnVista();
    env.fake.system.appDataFolder = commonFolder();
    env.makeDirectory("common/KvlTalvioPos");
    EXPECT_TRUE(SettleDataFolder(env.program));
    EXPECT_EQ(env.program.DataFolder, commonFolder() + "/KvlTalvioPos");
    EXPECT_TRUE(env.messageTexts().empty());
}

TEST_F(DataFolderTest, VistaWithoutTheFolderEndsTheProgram) {
    runOnVista();
    env.fake.system.appDataFolder = commonFolder();
    env.makeDirectory("common");
    env.writeFile("common/KvlTalvioPos", "a file, not a folder");
    EXPECT_FALSE(SettleDataFolder(env.program));
    EXPECT_EQ(env.program.DataFolder, commonFolder() + "/KvlTalvioPos");
    EXPECT_EQ(env.messageTexts(),
              std::vector<std::string>{commonFolder() + "/KvlTalvioPos : DIR NON ESISTENTE"});
}

TEST_F(DataFolderTest, VistaWithoutCommonAppDataFallsBackToTheProgramFolder) {
    runOnVista();
    env.fake.system.appDataFolder = "";
    EXPECT_TRUE(SettleDataFolder(env.program));
    EXPECT_EQ(env.program.DataFolder, env.folder());
    EXPECT_EQ(env.messageTexts(), std::vector<std::string>{"Path non disponibile"});
}

TEST_F(DataFolderTest, FallbackFolderIsCheckedToo) {
    runOnVista();
    env.fake.system.appDataFolder = "";
    env.fake.program.folder = "/nowhere/kvl";
    EXPECT_FALSE(SettleDataFolder(env.program));
    EXPECT_EQ(env.messageTexts(), (std::vector<std::string>{"Path non disponibile",
                                                            "/nowhere/kvl : DIR NON ESISTENTE"}));
}

TEST(DataFolderFailure, UnreadableFolderCountsAsMissing) {
    ConfigFixture env(ConfigFixture::Files::Fake);
    env.fake.system.version = {6, 1, 7601, 2};
    env.fake.system.appDataFolder = "/srv/common";
    env.fake.files.addDirectory("/srv/common/KvlTalvioPos");
    env.fake.files.failOperation(test::FakeFileSystem::Operation::IsDirectory,
                                 "/srv/common/KvlTalvioPos", ErrorNumber::PermissionDenied);
    EXPECT_FALSE(SettleDataFolder(env.program));
    EXPECT_EQ(env.messageTexts(),
              std::vector<std::string>{"/srv/common/KvlTalvioPos : DIR NON ESISTENTE"});
}

} // namespace
} // namespace kvl
