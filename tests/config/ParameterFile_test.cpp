#include "config/ParameterFile.h"

#include "ConfigFixture.h"
#include "config/DataFolder.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

using Texts = std::vector<std::string>;

TEST(ParameterFile, OnlyExactly1SwitchesTheLogOnMissingPathsGiveTheDefaultsAndSavingWritesThem) {
    // File (nullptr: none), then log switch, configuration and log file after loading (nullptr:
    // the default in the program folder): the three lines that saving writes back.
    const char* const rows[][4] = {
        {nullptr, "0", nullptr, nullptr},
        {"1\r\n", "1", "old", "old"},
        {"1 \r\n /my conf \r\n\"/l\"\r\nmore\r\n", "0", " /my conf ", "\"/l\""},
        {"1\r\n\r\n\r\n", "1", nullptr, nullptr}};
    for (const auto& [file, log, config, logFile] : rows) {
        test::ConfigFixture env;
        FrmWpos1Type& form = env.frmWpos1Type;
        form.chkEnableLog.setValue(*log == '1' ? 0 : 1);
        form.txtConfFile.setText("old");
        form.txtLogFileName.setText("old");
        if (file)
            env.writeFile("ParamTlvPos.TXT", file);
        LoadParameters(env.config);
        const std::string conf = config ? config : env.path("ConfigTlvPos.TXT");
        const std::string logPath = logFile ? logFile : env.path("LogTlvPos.TXT");
        EXPECT_EQ(form.txtConfFile.text() + "|" + form.txtLogFileName.text(), conf + "|" + logPath);
        SaveParameters(env.config); // whole: the longer file's fourth line goes
        EXPECT_EQ(env.fake.files.content(env.path("ParamTlvPos.TXT")),
                  std::string(log) + "\r\n" + conf + "\r\n" + logPath + "\r\n");
    }
    test::ConfigFixture folder; // an unwritable file is skipped silently
    folder.fake.files.addDirectory(folder.path("ParamTlvPos.TXT"));
    LoadParameters(folder.config);
    EXPECT_NO_THROW(SaveParameters(folder.config));
    EXPECT_EQ(folder.messageTexts(), Texts{});
}

TEST(DataFolder, OnNtSixTheCommonAppDataFolderElseTheProgramFolderWhichMustExist) {
    // major, minor, platform id, whether a common folder is given, whether it is used
    const unsigned rows[][5] = {{6, 1, 2, 1, 1},  {6, 0, 2, 1, 1}, {5, 1, 2, 1, 0},
                                {10, 0, 2, 1, 0}, {6, 1, 1, 1, 0}, {6, 1, 2, 0, 0}};
    for (const auto& row : rows) {
        test::ConfigFixture env;
        env.fake.system.version = {row[0], row[1], 7601, row[2]};
        env.fake.system.appDataFolder = row[3] ? env.path("common") : "";
        env.fake.files.addDirectory(env.path("common/KvlTalvioPos"));
        EXPECT_EQ(SettleDataFolder(env.config) ? env.DataFolder : "failed",
                  row[4] ? env.path("common/KvlTalvioPos") : env.folder())
            << row[0] << "." << row[1] << "/" << row[2] << "/" << row[3];
        EXPECT_EQ(env.messageTexts(), Texts(!row[3], "Path non disponibile"));
    }
    test::ConfigFixture env; // the program folder, on NT 6 without a common folder, is gone
    env.fake.system.version = {6, 1, 7601, 2};
    env.fake.program.folder = "/nowhere/kvl";
    EXPECT_FALSE(SettleDataFolder(env.config));
    EXPECT_EQ(env.messageTexts(),
              (Texts{"Path non disponibile", "/nowhere/kvl : DIR NON ESISTENTE"}));
}

} // namespace
} // namespace kvl
