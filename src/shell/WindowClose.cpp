#include "shell/WindowClose.h"

#include "config/ParameterFile.h"
#include "platform/StepGuard.h"

namespace kvl {

bool frmWpos1Type_QueryUnload(ShellContext& shell) {
    Timer& timer = shell.frmWpos1Type.Timer1;
    const bool pollingBefore = timer.enabled();
    timer.setEnabled(false);
    skipOnFailure([&] { SaveParameters(shell.config); });

    const MessageAnswer answer = shell.platform.messages.show(
        "Vuoi terminare l'esecuzione ?", ProgramTitle, MessageButtons::OkCancel, MessageIcon::None);
    if (answer == MessageAnswer::Ok)
        return true;
    // A cancelled close must not leave the service silently without polling.
    timer.setEnabled(pollingBefore);
    return false;
}

void frmWpos1Type_Unload(ShellContext& shell) {
    FrmWpos1Type& window = shell.frmWpos1Type;
    window.Timer1.setEnabled(false);
    window.hide();
    skipOnFailure([&] { shell.platform.tray.remove(window.trayIcon); });
    shell.frmMain.unload();
}

} // namespace kvl
