#pragma once

#include "console/ConsoleContext.h"

namespace kvl {

// The console form's unload: frees the terminal library and ends the program
// (status 0).
void frmMain_Unload(ConsoleContext& console);

// Attaches the console's event procedures to the console form: its unload and
// the click of each operation button.
void attachConsoleProcedures(ConsoleContext& console);

} // namespace kvl
