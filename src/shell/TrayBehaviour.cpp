#include "shell/TrayBehaviour.h"

namespace kvl {

void frmWpos1Type_MouseMove(ShellContext& shell, int mouseEvent) {
    FrmWpos1Type& window = shell.frmWpos1Type;
    switch (mouseEvent) {
    case TrayMouseEvent::LeftDoubleClick:
        showResidentWindow(shell);
        return;
    case TrayMouseEvent::RightButtonDown:
    case TrayMouseEvent::RightButtonUp:
        window.m_esci.setDefault(true);
        shell.modal.popupMenu(window, window.m_File);
        return;
    default:
        return;
    }
}

void frmWpos1Type_Resize(ShellContext& shell) {
    FrmWpos1Type& window = shell.frmWpos1Type;
    if (window.windowState() == WindowState::Minimised && shell.platform.tray.available())
        window.hide();
}

void showResidentWindow(ShellContext& shell) {
    shell.frmWpos1Type.setWindowState(WindowState::Normal);
    shell.frmWpos1Type.show();
}

} // namespace kvl
