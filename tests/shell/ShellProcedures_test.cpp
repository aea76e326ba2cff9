#include "shell/ShellProcedures.h"

#include "config/ConfigFixture.h"
#include "support/FakeModalForms.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kvl {
namespace {

using test::FakeMessageBoxes;
using Strings = std::vector<std::string>;

const std::string ParameterFile = "/opt/kvl/ParamTlvPos.TXT";
const std::string ConfigFile = "/opt/kvl/ConfigTlvPos.TXT";
const std::string Manual = "/opt/kvl/Manuale_TalvioPosIngenico.pdf";

// The resident window after its start-up: parameters read, tray icon
// registered, polling on, window in the tray. The console form's unload, which
// ends the program, is only noted.
struct ShellParts : test::ConfigFixture {
    ShellParts() {
        attachShellProcedures(shell);
        frmMain.onUnload([this] { fake.events.quit(0); });
        fake.tray.add(frmWpos1Type.trayIcon);
        frmWpos1Type.Timer1.setEnabled(true);
        frmWpos1Type.txtConfFile.setText(ConfigFile);
        DataFolder = folder();
        parametersLoaded = true;
    }
    bool polling() const { return frmWpos1Type.Timer1.enabled(); }
    bool ended() const { return fake.events.quitRequested(); }

    test::FakeModalForms modal;
    FrmAbout frmAbout;
    ShellContext shell{fake.platform(), modal, frmWpos1Type, frmMain, frmAbout, config};
};
struct Shell : ::testing::Test, ShellParts {};

// The window's state after a tray notification, and the menus popped up with
// their default entry.
TEST(TrayIcon, ADoubleClickRestoresTheWindowTheRightButtonPopsUpTheFileMenuNothingElseActs) {
    const std::pair<int, const char*> cases[] = {{515, "normal shown"},
                                                 {516, "minimised hidden m_File(m_esci)"},
                                                 {514, "minimised hidden"},
                                                 {517, "minimised hidden m_File(m_esci)"},
                                                 {512, "minimised hidden"}};
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
        whileAsked = fake.files.content(ParameterFile) + (polling() ? "polling" : "") + box.title +
                     (box.buttons == MessageButtons::OkCancel ? " OK Cancel" : "") +
                     (box.icon == MessageIcon::None ? "" : " icon");
    };
    for (const bool ok : {false, true}) {
        const std::string log = ok ? "/var/log/second.txt" : "/var/log/first.txt";
        ASSERT_TRUE(frmWpos1Type.txtLogFileName.typeText(log, &view));
        fake.messages.setNextAnswer(ok ? MessageAnswer::Ok : MessageAnswer::Cancel);

        EXPECT_EQ(frmWpos1Type.requestClose(), ok);

        EXPECT_EQ(whileAsked, "0\r\n" + ConfigFile + "\r\n" + log + "\r\nKvlTalvioPos OK Cancel");
        EXPECT_EQ(polling() && frmWpos1Type.visible() && fake.tray.registered, !ok);
        EXPECT_EQ(ended(), ok);
    }
    EXPECT_EQ(fake.messages.texts(), Strings(2, "Vuoi terminare l'esecuzione ?"));
}

// "T&ermina KvlTalvioPos" waits 500 ms with events running, then asks with
// polling off. A second click meanwhile adds nothing; a close answered OK
// meanwhile ends the program and nothing is asked again; Cancel puts polling
// back.
TEST(ExitMenu, WaitsHalfASecondThenAsksOnceWhateverHappensMeanwhile) {
    struct Case {
        std::function<void(ShellParts&)> meanwhile;
        MessageAnswer answer;
        const char* did;
    } cases[] = {{[](ShellParts&) {}, MessageAnswer::Cancel, "asked after 10 slices, polling"},
                 {[](ShellParts& p) { p.frmWpos1Type.m_esci.click(); }, MessageAnswer::Cancel,
                  "asked after 10 slices, polling"},
                 {[](ShellParts& p) { p.frmWpos1Type.requestClose(); }, MessageAnswer::Ok,
                  "asked after 1 slices, ended"}};
    for (const Case& c : cases) {
        ShellParts parts;
        bool once = false;
        parts.fake.events.duringProcessEvents = [&] {
            if (!std::exchange(once, true))
                c.meanwhile(parts);
        };
        std::string did;
        parts.fake.messages.whileOpen = [&](const FakeMessageBoxes::Shown&) {
            did += (did.empty() ? "asked after " : " and again after ") +
                   std::to_string(parts.fake.events.sleeps().size()) + " slices" +
                   (parts.polling() ? " polling" : "");
        };
        parts.fake.messages.setNextAnswer(c.answer);
        EXPECT_TRUE(parts.frmWpos1Type.m_esci.click());
        did += parts.ended() ? ", ended" : parts.polling() ? ", polling" : ", stopped";
        EXPECT_EQ(did, c.did);
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
    EXPECT_EQ(modal.shown, Strings(2, "frmAbout"));
}

// The manual in DataFolder opens with its program; a missing one, or a
// failure on the way, is said; polling goes on. A missing configuration file
// is said and polling goes on. A present one is opened, the restart is said,
// and the program ends at once, even when no program could open the file: no
// question, no parameter file, the icon and the library left to the end of
// the process.
TEST_F(Shell, TheManualAndTheConfigurationOpenWhenPresentAndEveryOtherCaseIsSaid) {
    frmWpos1Type.Manuale.click();
    frmWpos1Type.m_FileConfig.click();
    fake.files.addFile(Manual, "%PDF");
    fake.files.addFile(ConfigFile, "TIPO: ETH\r\n");
    frmWpos1Type.Manuale.click();
    EXPECT_EQ(fake.documents.opened, Strings{Manual});
    EXPECT_TRUE(polling() && !ended());

    fake.documents.failure = RunTimeError(ErrorNumber::FileNotFound, "no program");
    frmWpos1Type.Manuale.click();
    frmWpos1Type.m_FileConfig.click();
    EXPECT_EQ(fake.messages.texts(),
              (Strings{"File: " + Manual + " non trovato", "File: " + ConfigFile + " non trovato",
                       "Operazione non eseguita: verificare presenza Reader ",
                       "Il programma verra' chiuso. Si prega di riavviarlo per aggiornare i "
                       "parametri"}));
    EXPECT_EQ(fake.events.quitStatus(), 0);
    EXPECT_FALSE(polling());
    EXPECT_TRUE(fake.tray.registered);
    EXPECT_FALSE(fake.files.hasFile(ParameterFile));

    ShellParts opened;
    opened.fake.files.addFile(ConfigFile, "TIPO: ETH\r\n");
    opened.frmWpos1Type.m_FileConfig.click();
    EXPECT_EQ(opened.fake.documents.opened, Strings{ConfigFile});
    EXPECT_TRUE(opened.ended());
}

} // namespace
} // namespace kvl
