#pragma once

#include "app/Program.h"

#include <string>

namespace kvl {

// The resident window's load procedure: parameters, communication
// configuration, data folder, console line settings, a first status request
// to the terminal, the window's labels, the tray icon and the polling timer.
// Ends the program (status 1) when the configuration cannot be read or the
// data folder is missing; false when the program ends, for either reason or
// because a close was answered during the status request's pauses. When the
// terminal library cannot be loaded it says so, keeps the reason in
// libraryFailure and stops before reading anything, without polling. The
// command journal is loaded before the old result file is deleted.
bool frmWpos1Type_Load(Program& program);

// The tray icon's tip: the text, a NUL, then blanks to 64 characters.
std::string trayIconTip();

} // namespace kvl
