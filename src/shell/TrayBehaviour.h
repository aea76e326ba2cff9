#pragma once

#include "shell/ShellContext.h"

namespace kvl {

// The tray icon's notifications, as the shell numbers its mouse events
// (TrayMouseEvent): a double click brings the window back, the right button
// pops up the "&File" menu with m_esci as its default; anything else, a single
// click included, does nothing.
void frmWpos1Type_MouseMove(ShellContext& shell, int mouseEvent);

// The resize: a minimised window hides, leaving the tray icon as the way back.
// Where there is no tray it stays minimised, or nothing could bring it back.
void frmWpos1Type_Resize(ShellContext& shell);

// Window state normal, then the window shown (not modal). A view calls it at
// start when the platform has no tray, so that the menus can be reached.
void showResidentWindow(ShellContext& shell);

} // namespace kvl
