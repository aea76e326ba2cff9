#include "shell/WindowClose.h"

#include "config/ParameterFile.h"
#include "platform/SleepDelay.h"
#include "platform/StepGuard.h"

namespace kvl {

namespace {
constexpr float exitDelayMilliseconds = 500;
}

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

void m_esci_Click(ShellContext& shell) {
    if (shell.exitWaiting)
        return;
    Timer& timer = shell.frmWpos1Type.Timer1;
    const bool polling = timer.enabled();
    timer.setEnabled(false);

    shell.exitWaiting = true;
    struct Waited {
        bool& waiting;
        ~Waited() { waiting = false; }
    } waited{shell.exitWaiting};
    if (!SleepDelay(shell.platform.events, exitDelayMilliseconds))
        return; // ended meanwhile
    if (!shell.frmWpos1Type.requestClose() && !shell.platform.events.quitRequested())
        timer.setEnabled(polling);
}

void frmWpos1Type_Unload(ShellContext& shell) {
    FrmWpos1Type& window = shell.frmWpos1Type;
    window.Timer1.setEnabled(false);
    window.hide();
    skipOnFailure([&] { shell.platform.tray.remove(window.trayIcon); });
    shell.frmMain.unload();
}

} // namespace kvl
