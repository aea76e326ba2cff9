#include "config/ParameterFile.h"

#include "support/ConfigFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace kvl {
namespace {

using test::ConfigFixture;

const std::string ParameterName = "ParamTlvPos.TXT";
const std::string InitialConfFile = "C:\\Programmi\\KVL TalvioPos\\ConfigTlvPos.txt";
const std::string InitialLogFile = "c:\\LogTlvPos.txt";

class ParameterFileTest : public ::testing::Test {
protected:
    FrmWpos1Type& form() { return env.program.frmWpos1Type; }

    ConfigFixture env;
};

TEST_F(ParameterFileTest, MissingFileGivesTheDefaults) {
    form().chkEnableLog.setValue(1);
    LoadParameters(env.program);
    EXPECT_EQ(form().chkEnableLog.value(), 0);
    EXPECT_EQ(form().txtConfFile.text(), env.path("ConfigTlvPos.TXT"));
    EXPECT_EQ(form().txtLogFileName.text(), env.path("LogTlvPos.TXT"));
    EXPECT_TRUE(env.messageTexts().empty());
}

TEST_F(ParameterFileTest, OneLineFileKeepsTheFormsInitialPaths) {
    env.writeFile(ParameterName, "1\r\n");
    LoadParameters(env.program);
    EXPECT_EQ(form().chkEnableLog.value(), 1);
    EXPECT_EQ(form().txtConfFile.text(), InitialConfFile);
    EXPECT_EQ(form().txtLogFileName.text(), InitialLogFile);
}

TEST_F(ParameterFileTest, EmptyPathLinesGiveTheDefaults) {
    env.writeFile(ParameterName, "0\r\n\r\n\r\n");
    LoadParameters(env.program);
    EXPECT_EQ(form().txtConfFile.text(), env.path("ConfigTlvPos.TXT"));
    EXPECT_EQ(form().txtLogFileName.text(), env.path("LogTlvPos.TXT"));
}

TEST_F(ParameterFileTest, PathsAreTakenAsTheyStand) {
    env.writeFile(ParameterName,
                  "1\r\n /etc/kvl/Config Tlv.txt \r\n\"/var/log/kvl.log\"\r\nextra\r\n");
    LoadParameters(env.program);
    EXPECT_EQ(form().txtConfFile.text(), " /etc/kvl/Config Tlv.txt ");
    EXPECT_EQ(form().txtLogFileName.text(), "\"/var/log/kvl.log\"");
}

TEST_F(ParameterFileTest, FileNameIsMatchedWithoutRegardToCase) {
    env.writeFile("paramtlvpos.txt", "1\r\n");
    LoadParameters(env.program);
    EXPECT_EQ(form().chkEnableLog.value(), 1);
}

struct SwitchCase {
    std::string line;
    int value;
};

class LogSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(LogSwitchTest, OnlyExactlyOneChecksTheLog) {
    ConfigFixture env;
    env.program.frmWpos1Type.chkEnableLog.setValue(1 - GetParam().value);
    env.writeFile(ParameterName, GetParam().line + "\r\n/c\r\n/l\r\n");
    LoadParameters(env.program);
    EXPECT_EQ(env.program.frmWpos1Type.chkEnableLog.value(), GetParam().value)
        << "'" << GetParam().line << "'";
}

INSTANTIATE_TEST_SUITE_P(FirstLines, LogSwitchTest,
                         ::testing::Values(SwitchCase{"1", 1}, SwitchCase{"1 ", 0},
                                           SwitchCase{" 1", 0}, SwitchCase{"S", 0},
                                           SwitchCase{"0", 0}, SwitchCase{"", 0},
                                           SwitchCase{"01", 0}));

TEST(ParameterFileFailure, ReadFailurePartWayGivesDefaultsForTheRest) {
    ConfigFixture env(ConfigFixture::Files::Fake);
    FrmWpos1Type& form = env.program.frmWpos1Type;
    env.writeFile(ParameterName, "1\r\n/c.txt\r\n/l.txt\r\n");
    env.fake.files.failReadingAfter(env.path(ParameterName), 1, ErrorNumber::PathFileAccess);
    LoadParameters(env.program);
    EXPECT_EQ(form.chkEnableLog.value(), 1);
    EXPECT_EQ(form.txtConfFile.text(), env.path("ConfigTlvPos.TXT"));
    EXPECT_EQ(form.txtLogFileName.text(), env.path("LogTlvPos.TXT"));
    EXPECT_TRUE(env.messageTexts().empty());
}

TEST_F(ParameterFileTest, BinaryContentIsReadSafely) {
    env.writeFile(ParameterName, std::string("1\0\r\n\0/x\0y\r\n", 11) + std::string(1 << 20, 'z'));
    LoadParameters(env.program);
    EXPECT_EQ(form().chkEnableLog.value(), 0);
    EXPECT_EQ(form().txtConfFile.text(), "");
    EXPECT_EQ(form().txtLogFileName.text(), std::string(1 << 20, 'z'));
}

TEST_F(ParameterFileTest, SaveWritesThreeLinesExactly) {
    form().chkEnableLog.setValue(1);
    form().txtConfFile.setText("/etc/kvl/ConfigTlvPos.TXT");
    form().txtLogFileName.setText(" /var/log/kvl.txt ");
    SaveParameters(env.program);
    EXPECT_EQ(env.readFile(ParameterName),
              "1\r\n/etc/kvl/ConfigTlvPos.TXT\r\n /var/log/kvl.txt \r\n");
}

TEST_F(ParameterFileTest, SaveWritesDefaultsForEmptyPaths) {
    form().chkEnableLog.setValue(0);
    form().txtConfFile.setText("");
    form().txtLogFileName.setText("");
    SaveParameters(env.program);
    EXPECT_EQ(env.readFile(ParameterName),
              "0\r\n" + env.path("ConfigTlvPos.TXT") + "\r\n" + env.path("LogTlvPos.TXT") + "\r\n");
}

TEST_F(ParameterFileTest, SaveReplacesAnOlderLongerFile) {
    env.writeFile(ParameterName, "1\r\n/a-much-longer-old-path\r\n/another-old-path\r\nmore\r\n");
    form().txtConfFile.setText("/c");
    form().txtLogFileName.setText("/l");
    SaveParameters(env.program);
    EXPECT_EQ(env.readFile(ParameterName), "0\r\n/c\r\n/l\r\n");
}

TEST_F(ParameterFileTest, SaveThenLoadRoundTrip) {
    form().chkEnableLog.setValue(1);
    form().txtConfFile.setText("/etc/kvl/my config.txt");
    form().txtLogFileName.setText("/var/log/kvl.log");
    SaveParameters(env.program);

    Program reloaded(env.platform, env.library);
    LoadParameters(reloaded);
    EXPECT_EQ(reloaded.frmWpos1Type.chkEnableLog.value(), 1);
    EXPECT_EQ(reloaded.frmWpos1Type.txtConfFile.text(), "/etc/kvl/my config.txt");
    EXPECT_EQ(reloaded.frmWpos1Type.txtLogFileName.text(), "/var/log/kvl.log");
}

TEST_F(ParameterFileTest, FolderInThePlaceOfTheFileIsSkippedSilently) {
    env.makeDirectory(ParameterName);
    EXPECT_NO_THROW(SaveParameters(env.program));
    EXPECT_NO_THROW(LoadParameters(env.program));
    EXPECT_TRUE(env.messageTexts().empty());
}

TEST(ParameterFileFailure, UnwritableFileIsSkippedSilently) {
    ConfigFixture env(ConfigFixture::Files::Fake);
    env.writeFile(ParameterName, "1\r\n/old\r\n/old-log\r\n");
    env.fake.files.failOperation(test::FakeFileSystem::Operation::WriteWhole,
                                 env.path(ParameterName), ErrorNumber::PermissionDenied);
    env.program.frmWpos1Type.txtConfFile.setText("/new");
    EXPECT_NO_THROW(SaveParameters(env.program));
    EXPECT_EQ(env.readFile(ParameterName), "1\r\n/old\r\n/old-log\r\n");
    EXPECT_TRUE(env.messageTexts().empty());
}

} // namespace
} // namespace kvl
