#include "app/StartupForm.h"

#include "app/ConsoleSetup.h"
#include "app/OneShotRun.h"
#include "app/ResidentStartup.h"
#include "app/RunMode.h"
#include "platform/StepGuard.h"
#include "shell/AboutBox.h"

namespace kvl {

namespace {

// A second start ends silently, as a successful run.
constexpr int SecondInstance = 0;
// Without the terminal library the resident modes end with a failure.
constexpr int LibraryMissing = 1;

// The Version mode: the About box, modal as the menu shows it, then the end
// of the program. Polling goes on while it is open. The tray icon the start-up
// registered goes with it.
void showVersion(Program& program) {
    skipOnFailure([&] { showAboutBox(program.shell); });
    // The resident window may have been closed while the box was open.
    if (program.platform.events.quitRequested())
        return;
    skipOnFailure([&] { program.platform.tray.remove(program.frmWpos1Type.trayIcon); });
    program.frmMain.unload();
}

} // namespace

void frmMain_Load(Program& program) {
    bool secondInstance = false;
    skipOnFailure([&] { secondInstance = program.platform.instance.anotherInstanceRunning(); });
    if (secondInstance) {
        program.platform.events.quit(SecondInstance);
        return;
    }

    FrmMain& console = program.frmMain;
    console.setVisible(false);
    skipOnFailure([&] { giveInitialListEntries(program.frmMain); });
    skipOnFailure([&] { showLibraryVersion(program.terminal); });
    std::string commandLine;
    skipOnFailure([&] { commandLine = program.platform.program.commandLine(); });
    skipOnFailure([&] { program.frmAbout.load(); });
    bool goesOn = true;
    skipOnFailure([&] { goesOn = frmWpos1Type_Load(program); });
    if (!goesOn)
        return;

    const RunMode mode = decideRunMode(commandLine);
    // Without the library the resident service could do nothing, and staying
    // would keep the next start from running. The status asked for first
    // stays: the console's unload only frees what was loaded.
    if (!program.libraryFailure.empty() &&
        (mode == RunMode::Resident || mode == RunMode::Interactive)) {
        program.platform.events.quit(LibraryMissing);
        program.frmMain.unload();
        return;
    }

    switch (mode) {
    case RunMode::OneShot:
        runOneShot(program, commandLine);
        return;
    case RunMode::Version:
        showVersion(program);
        return;
    case RunMode::Interactive:
        console.setVisible(true);
        console.txtTerminale.setVisible(true);
        return;
    case RunMode::Resident:
        return;
    }
}

} // namespace kvl
