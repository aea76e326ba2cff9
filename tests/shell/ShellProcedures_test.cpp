#include "shell/ShellProcedures.h"

#include "support/FakeModalForms.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kvl {
namespace {

using test::FakeMessageBoxes;

const std::string ParameterFile = "/opt/kvl/ParamTlvPos.TXT";
const std::string ConfigFile = "/opt/kvl/ConfigTlvPos.TXT";
const std::string Manual = "/opt/kvl/Manuale_TalvioPosIngenico.pdf";

// The resident window after its start-up: parameters read, tray icon
// registered, polling on, window in the tray. The console form's unload, which
// ends the program, is only noted.
struct ShellParts {
    ShellParts() {
        attachShellProcedures(shell);
        frmMain.onUnload([this] {
            steps.push_back("frmMain unloaded");
            fake.events.quit(0);
        });
        fake.files.addDirectory("/opt/kvl");
        fake.tray.add(frmWpos1Type.trayIcon);
        frmWpos1Type.Timer1.setEnabled(true);
        frmWpos1Type.txtConfFile.setText(ConfigFile);
        frmWpos1Type.txtLogFileName.setText("/var/log/kvl.txt");
    }

    bool polling() const { return frmWpos1Type.Timer1.enabled(); }
    bool ended() const { return fake.events.quitRequested(); }

    test::FakePlatform fake;
    test::FakeModalForms modal;
    FrmWpos1Type frmWpos1Type;
    FrmMain frmMain;
    FrmAbout frmAbout;
    TerminalRecords records;
    CommunicationParameters params;
    std::string DataFolder = "/opt/kvl";
    bool parametersLoaded = true;
    ShellContext shell{
        fake.platform(),
        modal,
        frmWpos1Type,
        frmMain,
        frmAbout,
        {fake.platform(), frmMain, frmWpos1Type, records, params, DataFolder, parametersLoaded}};
    std::vector<std::string> steps;
};
struct Shell : ::testing::Test, ShellParts {};

// What the window shows after a tray notification: its state, whether it is
// shown, and the menus popped up with their default entry.
TEST(TrayIcon, ADoubleClickRestoresTheWindowTheRightButtonPopsUpTheFileMenuNothingElseActs) {
    const std::pair<int, const char*> cases[] = {{515, "normal shown"},
                                                 {516, "minimised hidden m_File(m_esci)"},
                                                 {517, "minimised hidden m_File(m_esci)"},
                                                 {514, "minimised hidden"},
                                                 {512, "minimised hidden"},
                                                 {0, "minimised hidden"}};
    for (const auto& [mouseEvent, after] : cases) {
        ShellParts parts;
        FrmWpos1Type& window = parts.frmWpos1Type;
        window.setWindowState(WindowState::Minimised);
        parts.fake.tray.activate(mouseEvent);
        std::string state = window.windowState() == WindowState::Normal ? "normal" : "minimised";
        state += window.visible() ? " shown" : " hidden";
        for (const std::string& menu : parts.modal.popups)
            state += " " + menu + (window.m_esci.isDefault() ? "(m_esci)" : "");
        EXPECT_EQ(state, after) << mouseEvent;
    }
}

// Minimising hides the window when the tray icon can bring it back; without a
// tray it stays in the task bar.
TEST_F(Shell, MinimisingHidesTheWindowOnlyWhenThereIsATray) {
    for (const bool tray : {true, false}) {
        fake.tray.exists = tray;
        frmWpos1Type.show();
        frmWpos1Type.setWindowState(WindowState::Minimised);
        EXPECT_EQ(frmWpos1Type.visible(), !tray);
        frmWpos1Type.setWindowState(WindowState::Normal);
    }
}

// The parameter file is saved, with what the operator last typed, before the
// question; Cancel leaves everything running, OK unloads: polling off, window
// hidden, icon removed, console form unloaded (which ends the program).
TEST_F(Shell, TheCloseSavesTheParametersAsksAndEndsOnlyOnOk) {
    frmWpos1Type.show();
    Subscription view = frmWpos1Type.txtLogFileName.onChange([](Property) {});
    std::string whileAsked;
    fake.messages.whileOpen = [&](const FakeMessageBoxes::Shown& box) {
        whileAsked = fake.files.content(ParameterFile) + (polling() ? "polling" : "");
        EXPECT_EQ(box.title, "KvlTalvioPos");
        EXPECT_EQ(box.buttons, MessageButtons::OkCancel);
        EXPECT_EQ(box.icon, MessageIcon::None);
    };
    for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        const bool ok = answer == MessageAnswer::Ok;
        const std::string log = ok ? "/var/log/second.txt" : "/var/log/first.txt";
        ASSERT_TRUE(frmWpos1Type.txtLogFileName.typeText(log, &view));
        fake.messages.setNextAnswer(answer);

        EXPECT_EQ(frmWpos1Type.requestClose(), ok);

        EXPECT_EQ(whileAsked, "0\r\n" + ConfigFile + "\r\n" + log + "\r\n");
        EXPECT_EQ(polling(), !ok);
        EXPECT_EQ(frmWpos1Type.visible(), !ok);
        EXPECT_EQ(fake.tray.registered, !ok);
        EXPECT_EQ(ended(), ok);
    }
    EXPECT_EQ(fake.messages.texts(), std::vector<std::string>(2, "Vuoi terminare l'esecuzione ?"));
    EXPECT_EQ(steps, std::vector<std::string>{"frmMain unloaded"});
}

// "T&ermina KvlTalvioPos" waits 500 ms with events running before it asks. A
// second click meanwhile adds nothing; a close answered OK meanwhile ends the
// program and nothing is asked again.
TEST(ExitMenu, WaitsHalfASecondThenAsksOnceWhateverHappensMeanwhile) {
    struct Case {
        const char* name;
        std::function<void(ShellParts&)> meanwhile;
        std::size_t slicesWaited;
        bool ended;
    };
    const Case cases[] = {
        {"nothing", [](ShellParts&) {}, 10, false},
        {"m_esci again", [](ShellParts& p) { p.frmWpos1Type.m_esci.click(); }, 10, false},
        {"close box", [](ShellParts& p) { p.frmWpos1Type.requestClose(); }, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShellParts parts;
        bool once = false;
        parts.fake.events.duringProcessEvents = [&] {
            if (!std::exchange(once, true))
                c.meanwhile(parts);
        };
        std::size_t slicesBeforeAsked = 0;
        parts.fake.messages.whileOpen = [&](const FakeMessageBoxes::Shown&) {
            slicesBeforeAsked = parts.fake.events.sleeps().size();
            EXPECT_FALSE(parts.polling());
        };
        parts.fake.messages.setNextAnswer(c.ended ? MessageAnswer::Ok : MessageAnswer::Cancel);

        EXPECT_TRUE(parts.frmWpos1Type.m_esci.click());

        EXPECT_EQ(parts.fake.messages.texts().size(), 1u);
        EXPECT_EQ(slicesBeforeAsked, c.slicesWaited);
        EXPECT_EQ(parts.fake.events.sleeps(), std::vector<std::chrono::milliseconds>(
                                                  c.slicesWaited, std::chrono::milliseconds(50)));
        EXPECT_EQ(parts.ended(), c.ended);
        EXPECT_EQ(parts.polling(), !c.ended);
    }
}

// The About box is modal over the resident window with polling off, its OK
// button closes it, and polling is then as it was; asking for it again while
// it is open shows no second box.
TEST_F(Shell, TheAboutBoxStopsPollingWhileOpenAndPutsItBackAsItWas) {
    std::string whileOpen;
    modal.whileOpen = [&](Form& about) {
        frmWpos1Type.mInfo.click();
        whileOpen = (about.owner() == &frmWpos1Type ? "owned" : "") +
                    std::string(polling() ? " polling" : "");
        EXPECT_TRUE(frmAbout.cmdOK.click());
        EXPECT_FALSE(about.visible());
    };
    for (const bool pollingBefore : {true, false}) {
        frmWpos1Type.Timer1.setEnabled(pollingBefore);
        EXPECT_TRUE(frmWpos1Type.mInfo.click());
        EXPECT_EQ(whileOpen, "owned");
        EXPECT_EQ(polling(), pollingBefore);
    }
    EXPECT_EQ(modal.shown, std::vector<std::string>(2, "frmAbout"));
}

// The manual in DataFolder opens with its program; a missing one, or a
// failure on the way, is said. Polling is not touched.
TEST_F(Shell, TheManualOpensWhenPresentAndEveryOtherCaseIsSaid) {
    frmWpos1Type.Manuale.click();
    fake.files.addFile(Manual, "%PDF");
    frmWpos1Type.Manuale.click();
    fake.documents.failure = RunTimeError(ErrorNumber::FileNotFound, "no opener");
    frmWpos1Type.Manuale.click();

    EXPECT_EQ(fake.documents.opened, std::vector<std::string>{Manual});
    EXPECT_EQ(fake.messages.texts(),
              (std::vector<std::string>{"File: " + Manual + " non trovato",
                                        "Operazione non eseguita: verificare presenza Reader "}));
    EXPECT_EQ(fake.messages.shown()[1].title, "KvlTalvioPos");
    EXPECT_TRUE(polling());
    EXPECT_FALSE(ended());
}

// A missing configuration file is said and polling goes on. A present one is
// opened, the restart is said, and the program ends at once, even when no
// program could open the file: no question, no parameter file, the icon and
// the library left to the end of the process.
TEST_F(Shell, TheConfigurationMenuOpensTheFileAndEndsAtOnceOrSaysItIsMissing) {
    frmWpos1Type.m_FileConfig.click();
    EXPECT_TRUE(polling());
    EXPECT_FALSE(ended());

    fake.files.addFile(ConfigFile, "TIPO: ETH\r\n");
    fake.documents.failure = RunTimeError(ErrorNumber::FileNotFound, "no editor");
    frmWpos1Type.m_FileConfig.click();

    EXPECT_EQ(
        fake.messages.texts(),
        (std::vector<std::string>{
            "File: " + ConfigFile + " non trovato",
            "Il programma verra' chiuso. Si prega di riavviarlo per aggiornare i parametri"}));
    EXPECT_EQ(fake.events.quitStatus(), 0);
    EXPECT_FALSE(polling());
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(fake.tray.registered);
    EXPECT_FALSE(fake.files.hasFile(ParameterFile));

    ShellParts opened;
    opened.fake.files.addFile(ConfigFile, "TIPO: ETH\r\n");
    opened.frmWpos1Type.m_FileConfig.click();
    EXPECT_EQ(opened.fake.documents.opened, std::vector<std::string>{ConfigFile});
    EXPECT_TRUE(opened.ended());
}

} // namespace
} // namespace kvl
