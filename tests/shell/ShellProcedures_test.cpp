#include "shell/ShellProcedures.h"

#include "config/ConfigFixture.h"
#include "support/FakeModalForms.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kvl {
namespace {

using Strings = std::vector<std::string>;

// The resident window after its start-up: in the tray and polling. The
// console form's unload, which ends the program, is only noted.
struct ShellParts : test::ConfigFixture {
    ShellParts() {
        attachShellProcedures(shell);
        frmMain.onUnload([this] { fake.events.quit(0); });
        fake.tray.add(frmWpos1Type.trayIcon);
        frmWpos1Type.Timer1.setEnabled(true);
        frmWpos1Type.txtConfFile.setText(path("ConfigTlvPos.TXT"));
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

// After each tray notification: the window's state and the menus popped up,
// with their default entry. Minimising hides the window only when a tray can
// bring it back.
TEST(TrayIcon, ADoubleClickRestoresTheWindowTheRightButtonPopsUpTheFileMenu) {
    for (const auto& [mouseEvent, after] : {std::pair{515, "normal shown"},
                                            {516, "minimised hidden m_File(m_esci)"},
                                            {514, "minimised hidden"},
                                            {517, "minimised hidden m_File(m_esci)"},
                                            {512, "minimised hidden"}}) {
        ShellParts parts;
        FrmWpos1Type& window = parts.frmWpos1Type;
        window.show();
        window.setWindowState(WindowState::Minimised);
        parts.fake.tray.activate(mouseEvent);
        std::string state = window.windowState() == WindowState::Normal ? "normal" : "minimised";
        state += window.visible() ? " shown" : " hidden";
        for (const std::string& menu : parts.modal.popups)
            state += " " + menu + (window.m_esci.isDefault() ? "(m_esci)" : "");
        EXPECT_EQ(state, after) << mouseEvent;
    }
    ShellParts parts;
    parts.fake.tray.exists = false;
    parts.frmWpos1Type.show();
    parts.frmWpos1Type.setWindowState(WindowState::Minimised);
    EXPECT_TRUE(parts.frmWpos1Type.visible());
}

// The parameter file is saved, with what the operator last typed, before the
// question; Cancel leaves everything running, OK unloads: polling off, window
// hidden, icon removed, console form unloaded.
TEST_F(Shell, TheCloseSavesTheParametersAsksAndEndsOnlyOnOk) {
    frmWpos1Type.show();
    Subscription view = frmWpos1Type.txtLogFileName.onChange([](Property) {});
    std::string whileAsked;
    fake.messages.whileOpen = [&](const auto& box) {
        whileAsked = readFile("ParamTlvPos.TXT") + (polling() ? "polling" : "") + box.title +
                     (box.buttons == MessageButtons::OkCancel ? " OK Cancel" : "") +
                     (box.icon == MessageIcon::None ? "" : " icon");
    };
    for (const bool ok : {false, true}) {
        const std::string log = ok ? "/var/log/second.txt" : "/var/log/first.txt";
        ASSERT_TRUE(frmWpos1Type.txtLogFileName.typeText(log, &view));
        fake.messages.setNextAnswer(ok ? MessageAnswer::Ok : MessageAnswer::Cancel);
        EXPECT_EQ(frmWpos1Type.requestClose(), ok);
        EXPECT_EQ(whileAsked,
                  "0\r\n" + path("ConfigTlvPos.TXT") + "\r\n" + log + "\r\nKvlTalvioPos OK Cancel");
        EXPECT_EQ(polling() && frmWpos1Type.visible() && fake.tray.registered, !ok);
        EXPECT_EQ(ended(), ok);
    }
    EXPECT_EQ(messageTexts(), Strings(2, "Vuoi terminare l'esecuzione ?"));
}

// "T&ermina KvlTalvioPos" waits 500 ms with events running, then asks with
// polling off. Meanwhile a second click adds nothing (1); a close answered OK
// (2) ends the program and nothing is asked again; Cancel puts polling back.
TEST(ExitMenu, WaitsHalfASecondThenAsksOnceWhateverHappensMeanwhile) {
    for (const int meanwhile : {0, 1, 2}) {
        ShellParts parts;
        bool once = false;
        parts.fake.events.duringProcessEvents = [&] {
            if (meanwhile == 1 && !std::exchange(once, true))
                parts.frmWpos1Type.m_esci.click();
            if (meanwhile == 2 && !std::exchange(once, true))
                parts.frmWpos1Type.requestClose();
        };
        std::string did;
        parts.fake.messages.whileOpen = [&](const auto&) {
            did += (did.empty() ? "asked after " : " and again after ") +
                   std::to_string(parts.fake.events.sleeps().size()) + " slices" +
                   (parts.polling() ? " polling" : "");
        };
        parts.fake.messages.setNextAnswer(meanwhile == 2 ? MessageAnswer::Ok
                                                         : MessageAnswer::Cancel);
        EXPECT_TRUE(parts.frmWpos1Type.m_esci.click());
        did += parts.ended() ? ", ended" : parts.polling() ? ", polling" : ", stopped";
        EXPECT_EQ(did, meanwhile == 2 ? "asked after 1 slices, ended"
                                      : "asked after 10 slices, polling");
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

// A missing manual or configuration file, or a manual no program opens, is
// said and polling goes on. A present configuration file is opened, the
// restart is said, and the program ends at once even when no program could
// open it: no question, no parameter file, the icon left to the process's end.
TEST_F(Shell, TheManualAndTheConfigurationOpenWhenPresentAndEveryOtherCaseIsSaid) {
    const std::string manual = path("Manuale_TalvioPosIngenico.pdf"),
                      configuration = path("ConfigTlvPos.TXT");
    frmWpos1Type.Manuale.click();
    frmWpos1Type.m_FileConfig.click();
    writeFile("Manuale_TalvioPosIngenico.pdf", "%PDF");
    writeFile("ConfigTlvPos.TXT", "TIPO: ETH\r\n");
    frmWpos1Type.Manuale.click();
    EXPECT_EQ(fake.documents.opened, Strings{manual});
    EXPECT_TRUE(polling() && !ended());

    fake.documents.failure = RunTimeError(ErrorNumber::FileNotFound, "no program");
    frmWpos1Type.Manuale.click();
    frmWpos1Type.m_FileConfig.click();
    EXPECT_EQ(
        messageTexts(),
        (Strings{"File: " + manual + " non trovato", "File: " + configuration + " non trovato",
                 "Operazione non eseguita: verificare presenza Reader ",
                 "Il programma verra' chiuso. Si prega di riavviarlo per aggiornare i "
                 "parametri"}));
    EXPECT_EQ(fake.events.quitStatus(), 0);
    EXPECT_TRUE(!polling() && fake.tray.registered);
    EXPECT_FALSE(fake.files.hasFile(path("ParamTlvPos.TXT")));

    ShellParts opened;
    opened.writeFile("ConfigTlvPos.TXT", "TIPO: ETH\r\n");
    opened.frmWpos1Type.m_FileConfig.click();
    EXPECT_EQ(opened.fake.documents.opened, Strings{configuration});
    EXPECT_TRUE(opened.ended());
}

} // namespace
} // namespace kvl
