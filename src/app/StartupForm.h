#pragma once

#include "Program.h"

#include <iosfwd>

namespace kvl {

// The console form's load procedure, the first code of the program: ends a
// second instance silently, puts the console in its initial state, shows the
// library version, starts the resident service and then acts on the command
// line. The Version and One-shot modes end the program here (ProgramEnd); the
// About box of the Version mode is written to aboutOutput. Without the
// terminal library the resident modes end here too, with status 1.
void frmMain_Load(Program& program, std::ostream& aboutOutput);
void frmMain_Load(Program& program);

// The console form's unload: frees the terminal library and ends the program
// with the status given.
[[noreturn]] void frmMain_Unload(Program& program, int status = 0);

// The About box without a display: its title, version and description lines.
void writeAboutBox(const FrmAbout& about, std::ostream& out);

} // namespace kvl
