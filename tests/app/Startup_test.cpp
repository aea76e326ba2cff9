#include "AppFixture.h"
#include "app/OneShotRun.h"
#include "app/RunMode.h"

#include <optional>
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
    FakeFileSystem files;
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"-E", std::nullopt},
        {"-e /cfg/Other.TXT", "/cfg/Other.TXT"},
        {"-E /cfg/c.txt", std::nullopt},
        {"-V -E  \" c.TXT \" ", "/opt/kvl/c.TXT"},
        {"-Ec.TXT", "/opt/kvl/c.TXT"}};
    for (const auto& [commandLine, config] : cases)
        EXPECT_EQ(oneShotConfigFile(oneShotArgument(commandLine), "/opt/kvl", files), config)
            << commandLine;
}

using StartupFormTest = AppTest;

TEST_F(StartupFormTest, SecondInstanceEndsSilentlyBeforeAnythingElse) {
    fake.instance.running = true;
    EXPECT_EQ(start(""), 0);
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(fake.messages.shown().empty());
}

// The About box, shown over the resident window as the menu shows it: while it
// is open the resident service polls; the program ends when it closes.
TEST_F(StartupFormTest, VersionModeShowsTheAboutBoxModallyAndEndsWhenItCloses) {
    fake.files.addFile("/io/SR_DATI.TXT", "POS_STATUS\r\n");
    std::string whileOpen;
    modal.whileOpen = [&](Form& about) {
        fake.events.fireActiveTimers();
        whileOpen = program.frmAbout.lblVersion.caption() + (about.visible() ? " shown" : "") +
                    (about.owner() == &program.frmWpos1Type ? " owned" : "") +
                    (fake.events.quitRequested() ? " ended" : "");
    };
    EXPECT_EQ(start("-v -i"), 0);
    EXPECT_EQ(modal.shown, std::vector<std::string>{"frmAbout"});
    EXPECT_EQ(whileOpen, "Versione 1.0.0.7 shown owned");
    EXPECT_FALSE(fake.files.hasFile("/io/SR_DATI.TXT"));
    EXPECT_EQ(journal().back(), "Free");
    EXPECT_FALSE(fake.tray.registered);
}

// Closing the resident window while the About box is open ends the program
// there: the Version mode does not end it a second time.
TEST_F(StartupFormTest, ACloseWhileTheAboutBoxIsOpenEndsTheProgramOnce) {
    modal.whileOpen = [this](Form&) { fake.events.requestClose(); };
    EXPECT_EQ(start("-V"), 0);
    EXPECT_EQ(library.count("IAE17AX_Free"), 1u);
    EXPECT_EQ(fake.messages.texts(), std::vector<std::string>{"Vuoi terminare l'esecuzione ?"});
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

    EXPECT_EQ(start("-E one.TXT"), 0);

    EXPECT_EQ(library.count("IAE17AX_Status"), 2u);
    EXPECT_NE(fake.files.content("/other/out.txt").find("POS_STATUS"), std::string::npos);
    EXPECT_FALSE(fake.files.hasFile("/other/in.txt"));
    EXPECT_TRUE(fake.files.hasFile("/io/SR_DATI.TXT"));
    EXPECT_EQ(journal().back(), "Free");
    EXPECT_FALSE(fake.tray.registered);
}

// SIGTERM while the start-up waits between status requests is a close answered
// OK: the program ends there, before the command line is acted on.
TEST_F(StartupFormTest, ACloseDuringTheStartupsPausesEndsItBeforeTheCommandLine) {
    fake.files.addFile("/io/SR_DATI.TXT", "POS_STATUS\r\n");
    library.queueResult("IAE17AX_Status", ResultCode::ComError);
    fake.events.duringProcessEvents = [this] { fake.events.requestClose(); };

    EXPECT_EQ(start("-E"), 0);

    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
    EXPECT_TRUE(fake.files.hasFile("/io/SR_DATI.TXT"));
    EXPECT_FALSE(fake.tray.registered);
    EXPECT_TRUE(fake.events.activeTimers().empty());
    EXPECT_EQ(journal().back(), "Free");
    EXPECT_EQ(fake.messages.texts(), std::vector<std::string>{"Vuoi terminare l'esecuzione ?"});
}

// Without the library the resident modes end with status 1 after the
// message; the About box and the one-shot run (whose answers the end-to-end
// tests check) end as usual.
TEST(StartupForm, WithoutTheLibraryTheResidentModesEndWithStatusOne) {
    const std::pair<const char*, int> modes[] = {{"", 1}, {"-I", 1}, {"-V", 0}, {"-E", 0}};
    for (const auto& [commandLine, status] : modes) {
        SCOPED_TRACE(commandLine);
        App app;
        app.fake.files.addFile("/io/SR_DATI.TXT", "POS_STATUS\r\nPOS_PAGAME,A100\r\n");
        app.library.failAlways(
            RunTimeError(ErrorNumber::FileNotFound, "File not found: libiae17.so"));
        EXPECT_EQ(app.start(commandLine), status);
        EXPECT_TRUE(app.fake.events.activeTimers().empty());
    }
}

} // namespace
} // namespace kvl::test
