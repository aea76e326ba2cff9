#pragma once

#include "shell/ShellContext.h"

namespace kvl {

// The close request of the resident window: polling off, parameter file
// saved, then the question "Vuoi terminare l'esecuzione ?". True when the
// operator lets the close go on; on Cancel polling goes back to what it was.
bool frmWpos1Type_QueryUnload(ShellContext& shell);

// "T&ermina KvlTalvioPos": polling off, a 500 ms wait in which events keep
// running, then the close request. When the close is refused polling goes back
// to what it was; a second click while the first waits adds nothing.
void m_esci_Click(ShellContext& shell);

// The resident window's unload: polling off, window hidden, tray icon
// removed, then the console form is unloaded, which ends the program.
void frmWpos1Type_Unload(ShellContext& shell);

} // namespace kvl
