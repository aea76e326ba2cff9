#pragma once

#include "app/Program.h"

#include <iosfwd>

namespace kvl {

// The console form's load procedure, the first code of the program: ends a
// second instance silently, puts the console in its initial state, shows the
// library version, starts the resident service and then acts on the command
// line. The Version and One-shot modes end the program here, through the
// console form's unload; the About box of the Version mode is written to
// aboutOutput.
void frmMain_Load(Program& program, std::ostream& aboutOutput);
void frmMain_Load(Program& program);

// The About box without a display: its title, version and description lines.
void writeAboutBox(const FrmAbout& about, std::ostream& out);

} // namespace kvl
