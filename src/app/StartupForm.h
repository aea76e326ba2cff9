#pragma once

#include "app/Program.h"

namespace kvl {

// The console form's load procedure, the first code of the program: ends a
// second instance silently, puts the console in its initial state, shows the
// library version, starts the resident service and then acts on the command
// line. The Version and One-shot modes end the program here, through the
// console form's unload, the Version mode once its modal About box closes.
// Without the terminal library the resident modes end here too, with status 1.
void frmMain_Load(Program& program);

} // namespace kvl
