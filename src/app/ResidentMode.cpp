#include "app/ResidentMode.h"

#include "app/ResidentState.h"
#include "app/StartupForm.h"
#include "app/StepGuard.h"
#include "config/ParameterFile.h"

namespace kvl {

bool frmWpos1Type_QueryUnload(Program& program) {
    Timer& timer = program.frmWpos1Type.Timer1;
    const bool pollingBefore = timer.enabled();
    timer.setEnabled(false);
    // Without the library the start-up never read the parameter file; saving
    // now would replace the operator's settings with the defaults.
    if (residentState(program).parametersLoaded)
        skipOnFailure([&] { SaveParameters(program); });

    const MessageAnswer answer = program.platform.messages.show(
        "Vuoi terminare l'esecuzione ?", ProgramTitle, MessageButtons::OkCancel, MessageIcon::None);
    if (answer == MessageAnswer::Ok)
        return true;
    // A cancelled close must not leave the service silently without polling.
    timer.setEnabled(pollingBefore);
    return false;
}

void frmWpos1Type_Unload(Program& program) {
    FrmWpos1Type& window = program.frmWpos1Type;
    window.Timer1.setEnabled(false);
    window.setVisible(false);
    skipOnFailure([&] { program.platform.tray.remove(window.trayIcon); });
    program.frmMain.unload();
}

void attachResidentWindowProcedures(Program& program) {
    FrmWpos1Type& window = program.frmWpos1Type;
    window.onQueryUnload([&program] { return frmWpos1Type_QueryUnload(program); });
    window.onUnload([&program] { frmWpos1Type_Unload(program); });
    program.frmMain.onUnload([&program] { frmMain_Unload(program); });
}

} // namespace kvl
