#include "shell/AboutBox.h"

#include "platform/StepGuard.h"

namespace kvl {

void showAboutBox(ShellContext& shell) {
    FrmAbout& about = shell.frmAbout;
    if (about.visible())
        return;
    about.setOwner(&shell.frmWpos1Type);
    shell.modal.showModal(about);
}

void mInfo_Click(ShellContext& shell) {
    Timer& timer = shell.frmWpos1Type.Timer1;
    const bool polling = timer.enabled();
    timer.setEnabled(false);
    skipOnFailure([&] { showAboutBox(shell); });
    // The program may have been ended while the box was open.
    if (!shell.platform.events.quitRequested())
        timer.setEnabled(polling);
}

void cmdOK_Click(ShellContext& shell) {
    shell.frmAbout.unload();
}

} // namespace kvl
