#include "app/StartupForm.h"

#include "app/ConsoleSetup.h"
#include "app/OneShotRun.h"
#include "app/ResidentStartup.h"
#include "app/ResidentState.h"
#include "app/RunMode.h"
#include "app/StepGuard.h"
#include "platform/ProgramEnd.h"

#include <iostream>

namespace kvl {

namespace {

constexpr int libraryMissingStatus = 1;

// The Version mode: the About box, then the end of the program. The tray
// icon the start-up registered goes with it.
[[noreturn]] void showVersion(Program& program, std::ostream& aboutOutput) {
    writeAboutBox(program.frmAbout, aboutOutput);
    skipOnFailure([&] { program.platform.tray.remove(program.frmWpos1Type.trayIcon); });
    frmMain_Unload(program);
}

} // namespace

void writeAboutBox(const FrmAbout& about, std::ostream& out) {
    out << about.lblTitle.caption() << '\n'
        << about.lblVersion.caption() << '\n'
        << about.lblDescription.caption() << '\n';
    out.flush();
}

void frmMain_Load(Program& program) {
    frmMain_Load(program, std::cout);
}

void frmMain_Load(Program& program, std::ostream& aboutOutput) {
    bool secondInstance = false;
    skipOnFailure([&] { secondInstance = program.platform.instance.anotherInstanceRunning(); });
    if (secondInstance)
        throw ProgramEnd{0};

    FrmMain& console = program.frmMain;
    console.setVisible(false);
    skipOnFailure([&] { giveInitialListEntries(program); });
    skipOnFailure([&] { showLibraryVersion(program); });
    std::string commandLine;
    skipOnFailure([&] { commandLine = program.platform.program.commandLine(); });
    skipOnFailure([&] { program.frmAbout.load(); });
    skipOnFailure([&] { frmWpos1Type_Load(program); });

    const RunMode mode = decideRunMode(commandLine);
    // Without the library the resident service could do nothing, and staying
    // would keep the next start from running.
    if (!residentState(program).libraryFailure.empty() &&
        (mode == RunMode::Resident || mode == RunMode::Interactive))
        frmMain_Unload(program, libraryMissingStatus);

    switch (mode) {
    case RunMode::OneShot:
        runOneShot(program, commandLine);
    case RunMode::Version:
        showVersion(program, aboutOutput);
    case RunMode::Interactive:
        console.setVisible(true);
        console.txtTerminale.setVisible(true);
        return;
    case RunMode::Resident:
        return;
    }
}

void frmMain_Unload(Program& program, int status) {
    skipOnFailure([&] { program.library.IAE17AX_Free(); });
    throw ProgramEnd{status};
}

} // namespace kvl
