#pragma once

#include "Program.h"

namespace kvl {

// The close request of the resident window: polling off, parameter file
// saved, then the question "Vuoi terminare l'esecuzione ?". True when the
// operator lets the close go on; on Cancel polling goes back to what it was
// (pollingBefore).
bool frmWpos1Type_QueryUnload(Program& program, bool pollingBefore);

// The resident window's unload: polling off, window hidden, tray icon
// removed, then the console's unload ends the program.
[[noreturn]] void frmWpos1Type_Unload(Program& program);

// Every way of closing the resident window (close box, SIGTERM and SIGINT,
// the exit menu): the close request, and the unload when it is answered OK.
void closeResidentWindow(Program& program);

} // namespace kvl
