#include "app/StartupForm.h"

#include "AppFixture.h"
#include "platform/ProgramEnd.h"

#include <sstream>

namespace kvl::test {
namespace {

class StartupFormTest : public AppTest {
protected:
    StartupFormTest() { writeConfig(ethernet()); }

    // Loads the console form; the status of the program end, or -1.
    int load(const std::string& commandLine) {
        fake.program.arguments = commandLine;
        try {
            frmMain_Load(program, about);
            return -1;
        } catch (const ProgramEnd& end) {
            return end.status;
        }
    }
    std::ostringstream about;
};

TEST_F(StartupFormTest, SecondInstanceEndsSilentlyBeforeAnythingElse) {
    fake.instance.running = true;
    EXPECT_EQ(load(""), 0);
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(fake.messages.shown().empty());
}

TEST_F(StartupFormTest, ResidentModeKeepsTheConsoleHiddenAndPolls) {
    library.setVersion("V1");
    EXPECT_EQ(load(""), -1);
    EXPECT_FALSE(program.frmMain.visible());
    EXPECT_EQ(program.frmMain.DllVersion.caption(), std::string("V1") + std::string(8, '\0'));
    EXPECT_EQ(program.frmAbout.lblVersion.caption(), "Versione 1.0.0.7");
    EXPECT_EQ(journal().at(1), "GetVersion"); // the console's, then the resident window's
    EXPECT_TRUE(fake.tray.registered);
    EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());
    EXPECT_TRUE(about.str().empty());
}

TEST_F(StartupFormTest, InteractiveModeShowsTheConsoleAndTerminalField) {
    EXPECT_EQ(load("-I"), -1);
    EXPECT_TRUE(program.frmMain.visible());
    EXPECT_TRUE(program.frmMain.txtTerminale.visible());
}

TEST_F(StartupFormTest, VersionModeWritesTheAboutBoxAndEnds) {
    EXPECT_EQ(load("-v -i"), 0);
    EXPECT_EQ(about.str(), "KvlTalvioPos per sistemi Windows 32/64 bit\n"
                           "Versione 1.0.0.7\n"
                           "Programma per gestione Scambio Importo con POS Ingenico (compat. x "
                           "Windows XP, VISTA / 7 / 8)\n");
    EXPECT_EQ(journal().back(), "Free");
    EXPECT_FALSE(fake.tray.registered);
}

TEST_F(StartupFormTest, FailingStepsAreSkippedSilently) {
    library.failAlways("IAE17AX_Free", RunTimeError(ErrorNumber::EntryPointNotFound, "missing"));
    EXPECT_EQ(load("-V"), 0);
    EXPECT_TRUE(fake.messages.shown().empty());
}

} // namespace
} // namespace kvl::test
