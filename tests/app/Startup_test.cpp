#include "AppFixture.h"
#include "app/OneShotRun.h"
#include "app/RunMode.h"
#include "app/StartupForm.h"

#include <optional>
#include <sstream>
#include <utility>

namespace kvl::test {
namespace {

// "-E" wins over "-V", which wins over "-I"; a switch may sit inside a word.
TEST(RunMode, FirstSwitchFoundInOrderEVIDecides) {
    const std::pair<const char*, RunMode> cases[] = {{"E V I -", RunMode::Resident},
                                                     {"/srv/x-in/cfg", RunMode::Interactive},
                                                     {"-I -v", RunMode::Version},
                                                     {"-I -V -e", RunMode::OneShot}};
    for (const auto& [commandLine, mode] : cases)
        EXPECT_EQ(decideRunMode(commandLine), mode) << commandLine;
}

// Only an argument ending in ".TXT" names a configuration, in the program
// folder unless it holds a folder of its own.
TEST(OneShotArgument, NamesAConfigurationOnlyWhenEndingInUpperCaseTxt) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"-E", std::nullopt},
        {"-e /cfg/Other.TXT", "/cfg/Other.TXT"},
        {"-E /cfg/c.txt", std::nullopt},
        {"-V -E  \" c.TXT \" ", "/opt/kvl/c.TXT"},
        {"-Ec.TXT", "/opt/kvl/c.TXT"}};
    for (const auto& [commandLine, config] : cases)
        EXPECT_EQ(oneShotConfigFile(oneShotArgument(commandLine), "/opt/kvl"), config)
            << commandLine;
}

class StartupFormTest : public AppTest {
protected:
    StartupFormTest() { writeConfig(); }

    int load(const std::string& commandLine) {
        fake.program.arguments = commandLine;
        return endStatus([&] { frmMain_Load(program, about); });
    }
    std::ostringstream about;
};

TEST_F(StartupFormTest, SecondInstanceEndsSilentlyBeforeAnythingElse) {
    fake.instance.running = true;
    EXPECT_EQ(load(""), 0);
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(fake.messages.shown().empty());
}

TEST_F(StartupFormTest, VersionModeWritesTheAboutTextAndEnds) {
    EXPECT_EQ(load("-v -i"), 0);
    EXPECT_NE(about.str().find("\nVersione 1.0.0.7\n"), std::string::npos);
    EXPECT_EQ(journal().back(), "Free");
    EXPECT_FALSE(fake.tray.registered);
}

TEST_F(StartupFormTest, OneShotProcessesTheCommandFileOfTheNamedConfiguration) {
    fake.files.addFile("/opt/kvl/one.TXT",
                       Ethernet + "INPF: /other/in.txt\r\nOUTF: /other/out.txt\r\n");
    fake.files.addFile("/other/in.txt", "POS_STATUS\r\n");
    fake.files.addFile("/io/SR_DATI.TXT", "POS_STATUS\r\n"); // the resident configuration's
    library.queueResult("IAE17AX_Status", ResultCode::Ok);   // the resident start-up's
    // A polling tick run while the terminal is busy would repeat the command.
    LibraryReply duringWait;
    duringWait.action = [this](PosRequest&, POSDATA&) { fake.events.fireActiveTimers(); };
    library.queueReply("IAE17AX_Status", duringWait);

    EXPECT_EQ(load("-E one.TXT"), 0);

    EXPECT_EQ(library.count("IAE17AX_Status"), 2u);
    EXPECT_NE(fake.files.content("/other/out.txt").find("POS_STATUS"), std::string::npos);
    EXPECT_FALSE(fake.files.hasFile("/other/in.txt"));
    EXPECT_TRUE(fake.files.hasFile("/io/SR_DATI.TXT"));
    EXPECT_EQ(journal().back(), "Free");
    EXPECT_FALSE(fake.tray.registered);
}

// Without the library the resident modes end with status 1 after the
// message; the About box and the one-shot run (whose answers the end-to-end
// tests check) end as usual.
TEST_F(StartupFormTest, WithoutTheLibraryTheResidentModesEndWithStatusOne) {
    const std::pair<const char*, int> modes[] = {{"", 1}, {"-I", 1}, {"-V", 0}, {"-E", 0}};
    for (const auto& [commandLine, status] : modes) {
        SCOPED_TRACE(commandLine);
        App app;
        app.writeConfig();
        app.fake.files.addFile("/io/SR_DATI.TXT", "POS_STATUS\r\nPOS_PAGAME,A100\r\n");
        app.library.failAlways(
            RunTimeError(ErrorNumber::FileNotFound, "File not found: libiae17.so"));
        app.fake.program.arguments = commandLine;
        EXPECT_EQ(endStatus([&] { frmMain_Load(app.program, about); }), status);
        EXPECT_TRUE(app.fake.events.activeTimers().empty());
    }
}

} // namespace
} // namespace kvl::test
