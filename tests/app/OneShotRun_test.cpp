#include "app/OneShotRun.h"

#include "AppFixture.h"
#include "app/StartupForm.h"
#include "platform/ProgramEnd.h"

#include <optional>

namespace kvl::test {
namespace {

struct ArgumentCase {
    const char* commandLine;
    std::optional<std::string> configFile;
};

class OneShotArgument : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(OneShotArgument, NamesAConfigurationOnlyWhenEndingInUpperCaseTxt) {
    const ArgumentCase& c = GetParam();
    EXPECT_EQ(oneShotConfigFile(oneShotArgument(c.commandLine), "/opt/kvl"), c.configFile);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, OneShotArgument,
    ::testing::Values(ArgumentCase{"-E", std::nullopt},
                      ArgumentCase{"-e /cfg/Other.TXT", std::string("/cfg/Other.TXT")},
                      ArgumentCase{"-E \"/my cfg/c.TXT\"", std::string("/my cfg/c.TXT")},
                      ArgumentCase{"-E /cfg/c.txt", std::nullopt},
                      ArgumentCase{"-E c.TXT", std::string("/opt/kvl/c.TXT")},
                      ArgumentCase{"-V -E  \" c.TXT \" ", std::string("/opt/kvl/c.TXT")},
                      ArgumentCase{"-Ec.TXT", std::string("/opt/kvl/c.TXT")},
                      ArgumentCase{"-E .TXT", std::string("/opt/kvl/.TXT")}));

class OneShotRunTest : public AppTest {
protected:
    int run(const std::string& commandLine) {
        fake.program.arguments = commandLine;
        try {
            frmMain_Load(program);
        } catch (const ProgramEnd& end) {
            return end.status;
        }
        return -1;
    }
};

TEST_F(OneShotRunTest, ProcessesTheCommandFileOfTheNamedConfiguration) {
    writeConfig(ethernet());
    fake.files.addDirectory("/other");
    fake.files.addFile("/opt/kvl/one.TXT",
                       ethernet() + "INPF: /other/in.txt\r\nOUTF: /other/out.txt\r\n");
    fake.files.addFile("/other/in.txt", "POS_STATUS\r\n");
    library.queueResult("IAE17AX_Status", ResultCode::Ok); // the resident start-up's
    LibraryReply duringWait;                               // events run while the terminal is busy
    duringWait.action = [this](PosRequest&, POSDATA&) { fake.events.fireActiveTimers(); };
    library.queueReply("IAE17AX_Status", duringWait);

    EXPECT_EQ(run("-E one.TXT"), 0);

    EXPECT_EQ(library.count("IAE17AX_Status"), 2u);

    EXPECT_NE(fake.files.content("/other/out.txt").find("POS_STATUS"), std::string::npos);
    EXPECT_FALSE(fake.files.hasFile("/other/in.txt"));
    EXPECT_EQ(library.count("IAE17AX_Free"), 2u);
    EXPECT_FALSE(fake.tray.registered);
}

TEST_F(OneShotRunTest, LowerCaseExtensionKeepsTheResidentConfiguration) {
    writeConfig(ethernet());
    fake.files.addFile("/io/SR_DATI.TXT", "POS_STATUS\r\n");

    EXPECT_EQ(run("-E /opt/kvl/one.txt"), 0);

    EXPECT_EQ(program.ConfigFilePath, "/OPT/KVL/CONFIGTLVPOS.TXT");
    EXPECT_TRUE(fake.files.hasFile("/io/SR_OUT.TXT"));
}

TEST_F(OneShotRunTest, NoCommandFileWritesNoResultButFreesTheLibrary) {
    writeConfig(ethernet());

    EXPECT_EQ(run("-e"), 0);

    EXPECT_FALSE(fake.files.hasFile("/io/SR_OUT.TXT"));
    EXPECT_EQ(journal().back(), "Free");
}

} // namespace
} // namespace kvl::test
