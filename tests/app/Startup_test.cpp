#include "AppFixture.h"
#include "app/OneShotRun.h"
#include "app/ResidentStartup.h"
#include "app/RunMode.h"
#include "support/Environment.h"

namespace kvl::test {
namespace {

const std::string ParameterFile = "/opt/kvl/ParamTlvPos.TXT";
const std::string Settings = "1\r\n/opt/kvl/ConfigTlvPos.TXT\r\n/var/log/kvl.txt\r\n";
const std::string Quit = "Vuoi terminare l'esecuzione ?";

TEST(RunMode, FirstSwitchFoundInOrderEVIDecidesAndOnlyATxtNamesAConfiguration) {
    const std::pair<const char*, RunMode> modes[] = {{"E V I -", RunMode::Resident},
                                                     {"/srv/x-in/cfg", RunMode::Interactive},
                                                     {"-I -v", RunMode::Version},
                                                     {"-I -V -e", RunMode::OneShot}};
    for (const auto& [commandLine, mode] : modes)
        EXPECT_EQ(decideRunMode(commandLine), mode) << commandLine;
    FakeFileSystem files;
    const std::pair<const char*, std::optional<std::string>> configs[] = {
        {"-E", std::nullopt},
        {"-e /cfg/Other.TXT", "/cfg/Other.TXT"},
        {"-E /cfg/c.txt", std::nullopt},
        {"-V -E  \" c.TXT \" ", "/opt/kvl/c.TXT"},
        {"-Ec.TXT", "/opt/kvl/c.TXT"}};
    for (const auto& [commandLine, config] : configs)
        EXPECT_EQ(oneShotConfigFile(oneShotArgument(commandLine), "/opt/kvl", files), config)
            << commandLine;
}

// Closing saves the parameter file and asks: Cancel keeps polling, OK ends.
TEST_F(AppTest, ResidentStartupRunsItsStepsInOrderAndClosingAsksFirst) {
    writeConfig();
    fake.files.addFile("/io/SR_OUT.TXT", "stale");
    std::size_t timersDuringStatus = 99;
    LibraryReply reply;
    reply.action = [&](PosRequest&, POSDATA&) {
        timersDuringStatus = fake.events.activeTimers().size();
    };
    library.queueResult("IAE17AX_Status", ResultCode::TimeoutError);
    library.queueReply("IAE17AX_Status", reply);

    EXPECT_EQ(endStatus([&] { frmWpos1Type_Load(program); }), -1);

    EXPECT_EQ(journal(), (std::vector<std::string>{"GetVersion", "open ParamTlvPos.TXT",
                                                   "open CONFIGTLVPOS.TXT", "delete SR_OUT.TXT",
                                                   "InitEth", "Status", "InitEth", "Status"}));
    EXPECT_EQ(slept(), 200);
    EXPECT_EQ(timersDuringStatus, 0u);
    EXPECT_EQ(program.frmWpos1Type.ShapeDump.fillColour(), Colour::Green);
    ASSERT_EQ(fake.events.activeTimers().size(), 1u);
    EXPECT_EQ(fake.events.activeTimers()[0].interval.count(), 300);

    for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        const bool ends = answer == MessageAnswer::Ok;
        fake.messages.setNextAnswer(answer);
        EXPECT_EQ(endStatus([&] { fake.events.requestClose(); }), ends ? 0 : -1);
        EXPECT_EQ(fake.tray.registered, !ends);
        EXPECT_EQ(fake.events.activeTimers().size(), ends ? 0u : 1u);
        EXPECT_EQ(journal().back() == "Free", ends);
    }
    EXPECT_TRUE(fake.files.hasFile(ParameterFile));
    EXPECT_EQ(fake.messages.texts(), std::vector<std::string>(2, Quit));
}

// A parameter file never read, or not read whole, is not saved over at close.
TEST(ResidentStartup, MissingPiecesAreSaidAndNothingIsPolled) {
    const std::pair<int, const char*> cases[] = {
        {1, "/srv/common/KvlTalvioPos : DIR NON ESISTENTE"},
        {-1, "Libreria del terminale non caricata (libiae17.so): File not found: libiae17.so"},
        {-1, "Porta Eth 12345 non utilizzabile: il programma accetta porte da 1 a 9999"},
        {-1, nullptr}};
    for (int i = 0; i < 4; ++i) {
        const auto& [status, message] = cases[i];
        SCOPED_TRACE(i);
        App app;
        app.fake.files.addFile(ParameterFile, Settings);
        test::unsetEnvironment("IAE17_LIBRARY");
        app.writeConfig();
        if (i == 0) {
            app.fake.system.version = {6, 1, 7601, 2}; // its data folder under a missing one
            app.fake.system.appDataFolder = "/srv/common";
        } else if (i == 1) {
            app.library.failAlways(
                RunTimeError(ErrorNumber::FileNotFound, "File not found: libiae17.so"));
        } else if (i == 3) {
            app.fake.files.failReadingAfter(ParameterFile, 1, ErrorNumber::PathFileAccess);
        } else {
            app.fake.files.addFile("/opt/kvl/ConfigTlvPos.TXT",
                                   "TIPO: ETH\r\nIPAD: 127.0.0.1\r\nPORT: 12345\r\n");
        }
        EXPECT_EQ(app.endStatus([&] { frmWpos1Type_Load(app.program); }), status);
        EXPECT_EQ(app.fake.messages.texts(),
                  message ? std::vector<std::string>{message} : std::vector<std::string>{});
        EXPECT_EQ(app.library.count("IAE17AX_Status") == 0, i < 3);
        EXPECT_EQ(app.fake.events.activeTimers().empty(), i < 2);
        if (status == -1) {
            EXPECT_EQ(app.endStatus([&] { app.fake.events.requestClose(); }), 0);
        }
        EXPECT_EQ(app.fake.files.content(ParameterFile), Settings);
    }
}

// While the About box is open the service polls; the program ends when it
// closes, once even when the resident window was closed meanwhile.
TEST_F(AppTest, VersionModeShowsTheAboutBoxModallyAndEndsWhenItCloses) {
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

    App closed;
    closed.modal.whileOpen = [&](Form&) { closed.fake.events.requestClose(); };
    EXPECT_EQ(closed.start("-V"), 0);
    EXPECT_EQ(closed.library.count("IAE17AX_Free"), 1u);
    EXPECT_EQ(closed.fake.messages.texts(), std::vector<std::string>{Quit});
}

// A polling tick run while the terminal is busy would repeat the command.
TEST_F(AppTest, OneShotProcessesTheCommandFileOfTheNamedConfiguration) {
    fake.files.addFile("/opt/kvl/one.TXT",
                       Ethernet + "INPF: /other/in.txt\r\nOUTF: /other/out.txt\r\n");
    fake.files.addFile("/other/in.txt", "POS_STATUS\r\n");
    fake.files.addFile("/io/SR_DATI.TXT", "POS_STATUS\r\n"); // the resident configuration's
    library.queueResult("IAE17AX_Status", ResultCode::Ok);   // the resident start-up's
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

// SIGTERM while the start-up waits is a close answered OK.
TEST_F(AppTest, ACloseDuringTheStartupsPausesEndsItBeforeTheCommandLine) {
    fake.files.addFile("/io/SR_DATI.TXT", "POS_STATUS\r\n");
    library.queueResult("IAE17AX_Status", ResultCode::ComError);
    fake.events.duringProcessEvents = [this] { fake.events.requestClose(); };
    EXPECT_EQ(start("-E"), 0);
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
    EXPECT_TRUE(fake.files.hasFile("/io/SR_DATI.TXT"));
    EXPECT_TRUE(fake.events.activeTimers().empty() && !fake.tray.registered);
    EXPECT_EQ(journal().back(), "Free");
    EXPECT_EQ(fake.messages.texts(), std::vector<std::string>{Quit});
}

TEST(StartupForm, WithoutTheLibraryTheResidentModesEndWithStatusOne) {
    const std::pair<const char*, int> modes[] = {{"", 1}, {"-I", 1}, {"-V", 0}, {"-E", 0}};
    for (const auto& [commandLine, status] : modes) {
        App app;
        app.library.failAlways(
            RunTimeError(ErrorNumber::FileNotFound, "File not found: libiae17.so"));
        EXPECT_EQ(app.start(commandLine), status) << commandLine;
        EXPECT_TRUE(app.fake.events.activeTimers().empty()) << commandLine;
    }
}

} // namespace
} // namespace kvl::test
