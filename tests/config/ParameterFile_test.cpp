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
    // loading (nullptr: the default in the program folder).
    const char* const rows[][4] = {
        {nullptr, "0", nullptr, nullptr},
        {"1\r\n", "1", "old", "old"},
        {"1 \r\n /my conf \r\n\"/l\"\r\nmore\r\n", "0", " /my conf ", "\"/l\""},
        {"1\r\n\r\n\r\n", "1", nullptr, nullptr}};
    for (const auto& [file, log, config, logFile] : rows) {
        test::ConfigFixture env;
        FrmWpos1Type& form = env.program.frmWpos1Type;
        form.chkEnableLog.setValue(*log == '1' ? 0 : 1);
        form.txtConfFile.setText("old");
        form.txtLogFileName.setText("old");
        if (file)
            env.writeFile("ParamTlvPos.TXT", file);
        LoadParameters(env.program);
        EXPECT_EQ(std::to_string(form.chkEnableLog.value()), log);
        EXPECT_EQ(form.txtConfFile.text(), config ? config : env.path("ConfigTlvPos.TXT"));
        EXPECT_EQ(form.txtLogFileName.text(), logFile ? logFile : env.path("LogTlvPos.TXT"));
    }
}

TEST(ParameterFile, SaveWritesThreeLinesExactlyAndSkipsAFolderInThePlaceOfTheFileSilently) {
    test::ConfigFixture env;
    env.writeFile("ParamTlvPos.TXT", "0\r\n/a-much-longer-old-path\r\n/another\r\nmore\r\n");
    FrmWpos1Type& form = env.program.frmWpos1Type;
    form.chkEnableLog.setValue(1);
    form.txtConfFile.setText("/etc/kvl/my config.txt");
    form.txtLogFileName.setText(" /var/log/kvl.log ");
    SaveParameters(env.program);
    EXPECT_EQ(env.readFile("ParamTlvPos.TXT"),
              "1\r\n/etc/kvl/my config.txt\r\n /var/log/kvl.log \r\n");

    test::ConfigFixture folder;
    folder.makeDirectory("ParamTlvPos.TXT");
    EXPECT_NO_THROW(SaveParameters(folder.program));
    EXPECT_EQ(folder.messageTexts(), Texts{});
}

TEST(DataFolder, OnNtSixTheCommonAppDataFolderElseTheProgramFolderWhichMustExist) {
    // major, minor, platform id, whether the common folder is used
    const unsigned rows[][4] = {
        {6, 1, 2, 1}, {6, 0, 2, 1}, {5, 1, 2, 0}, {10, 0, 2, 0}, {6, 1, 1, 0}};
    for (const auto& row : rows) {
        test::ConfigFixture env;
        env.fake.system.version = {row[0], row[1], 7601, row[2]};
        env.fake.system.appDataFolder = env.path("common");
        env.makeDirectory("common/KvlTalvioPos");
        EXPECT_EQ(SettleDataFolder(env.program) ? env.program.DataFolder : "failed",
                  row[3] ? env.path("common/KvlTalvioPos") : env.folder())
            << row[0] << "." << row[1] << "/" << row[2];
    }
    test::ConfigFixture env; // NT 6 without a common folder: the program folder, if it exists
    env.fake.system.version = {6, 1, 7601, 2};
    EXPECT_EQ(SettleDataFolder(env.program) ? env.program.DataFolder : "failed", env.folder());
    env.fake.program.folder = "/nowhere/kvl";
    EXPECT_FALSE(SettleDataFolder(env.program));
    EXPECT_EQ(env.messageTexts(), (Texts{"Path non disponibile", "Path non disponibile",
                                         "/nowhere/kvl : DIR NON ESISTENTE"}));
}

} // namespace
} // namespace kvl
