#include "config/ParameterFile.h"

#include "support/ConfigFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl {
namespace {

using Texts = std::vector<std::string>;

TEST(ParameterFile, OnlyExactly1SwitchesTheLogOnAndMissingPathsGiveTheDefaults) {
    // File (nullptr: none), then log switch, configuration and log file after
    // loading; "@" stands for the program folder, "=" for the form's initial path.
    const char* const rows[][4] = {
        {nullptr, "0", "@/ConfigTlvPos.TXT", "@/LogTlvPos.TXT"},
        {"1\r\n", "1", "=", "="},
        {"1 \r\n/c\r\n/l\r\n", "0", "/c", "/l"},
        {"S\r\n /my conf \r\n\"/l\"\r\nmore\r\n", "0", " /my conf ", "\"/l\""},
        {"1\r\n\r\n\r\n", "1", "@/ConfigTlvPos.TXT", "@/LogTlvPos.TXT"}};
    for (const auto& row : rows) {
        test::ConfigFixture env;
        FrmWpos1Type& form = env.program.frmWpos1Type;
        const std::string initial = form.txtConfFile.text() + "|" + form.txtLogFileName.text();
        form.chkEnableLog.setValue(row[1][0] == '1' ? 0 : 1);
        if (row[0])
            env.writeFile("ParamTlvPos.TXT", row[0]);
        LoadParameters(env.program);
        std::string expected = std::string(row[2]) + "|" + row[3];
        if (expected == "=|=")
            expected = initial;
        for (std::size_t at; (at = expected.find('@')) != std::string::npos;)
            expected.replace(at, 1, env.folder());
        EXPECT_EQ(std::to_string(form.chkEnableLog.value()), row[1]) << row[0];
        EXPECT_EQ(form.txtConfFile.text() + "|" + form.txtLogFileName.text(), expected) << row[0];
        EXPECT_EQ(env.messageTexts(), Texts{});
    }
}

TEST(ParameterFile, SaveWritesThreeLinesExactlyThatLoadBack) {
    test::ConfigFixture env;
    env.writeFile("ParamTlvPos.TXT", "0\r\n/a-much-longer-old-path\r\n/another\r\nmore\r\n");
    FrmWpos1Type& form = env.program.frmWpos1Type;
    form.chkEnableLog.setValue(1);
    form.txtConfFile.setText("/etc/kvl/my config.txt");
    form.txtLogFileName.setText(" /var/log/kvl.log ");
    SaveParameters(env.program);
    EXPECT_EQ(env.readFile("ParamTlvPos.TXT"),
              "1\r\n/etc/kvl/my config.txt\r\n /var/log/kvl.log \r\n");

    Program reloaded(env.platform, env.library);
    LoadParameters(reloaded);
    EXPECT_EQ(reloaded.frmWpos1Type.chkEnableLog.value(), 1);
    EXPECT_EQ(reloaded.frmWpos1Type.txtConfFile.text(), "/etc/kvl/my config.txt");
    EXPECT_EQ(reloaded.frmWpos1Type.txtLogFileName.text(), " /var/log/kvl.log ");
}

TEST(ParameterFile, AFolderInThePlaceOfTheFileIsSkippedSilently) {
    test::ConfigFixture env;
    env.makeDirectory("ParamTlvPos.TXT");
    EXPECT_NO_THROW(SaveParameters(env.program));
    EXPECT_NO_THROW(LoadParameters(env.program));
    EXPECT_EQ(env.messageTexts(), Texts{});
}

TEST(DataFolder, IsOS_VistaOnlyForNtSix) {
    // major, minor, platform id, Vista
    const unsigned rows[][4] = {
        {6, 1, 2, 1}, {6, 0, 2, 1}, {5, 1, 2, 0}, {10, 0, 2, 0}, {6, 1, 1, 0}};
    for (const auto& row : rows) {
        test::ConfigFixture env;
        env.fake.system.version = {row[0], row[1], 7601, row[2]};
        EXPECT_EQ(IsOS_Vista(env.program), row[3] == 1) << row[0] << "." << row[1];
    }
}

TEST(DataFolder, OnVistaTheProgramsCommonAppDataFolderElseTheProgramFolder) {
    test::ConfigFixture env;
    env.fake.system.appDataFolder = env.path("common");
    EXPECT_TRUE(SettleDataFolder(env.program)); // not Vista: the program folder
    EXPECT_EQ(env.program.DataFolder, env.folder());
    env.fake.system.version = {6, 1, 7601, 2};
    env.fake.system.appDataFolder = env.path("common");
    env.makeDirectory("common/KvlTalvioPos");
    EXPECT_TRUE(SettleDataFolder(env.program));
    EXPECT_EQ(env.program.DataFolder, env.path("common/KvlTalvioPos"));

    env.fake.system.appDataFolder = "";
    EXPECT_EQ(Read_CSIDL_COMMON_APPDATA(env.program), "");
    EXPECT_TRUE(SettleDataFolder(env.program));
    EXPECT_EQ(env.program.DataFolder, env.folder());
    EXPECT_EQ(env.messageTexts(), (Texts{"Path non disponibile", "Path non disponibile"}));

    env.fake.program.folder = "/nowhere/kvl";
    EXPECT_FALSE(SettleDataFolder(env.program));
    EXPECT_EQ(env.messageTexts().back(), "/nowhere/kvl : DIR NON ESISTENTE");
}

} // namespace
} // namespace kvl
