#pragma once

#include "terminal/TerminalContext.h"

namespace kvl {

// What the start-up puts into the console form.

// Gives the console's selection lists their initial entries: RS232, COM3,
// 9600, no parity, 8 data bits, one stop bit, automatic payment types.
void giveInitialListEntries(FrmMain& form);

// Asks the terminal library for its version and shows the 10 characters in
// the console's DllVersion label. Throws when the library cannot be loaded.
void showLibraryVersion(TerminalContext& terminal);

// Selects the console's connection and RS-232 entries from the communication
// parameters and the RS-232 initialisation record. A code that is not a
// number, or that names no entry, leaves its list as it was; an empty or zero
// COM port leaves no COM entry selected.
void selectLineSettings(TerminalContext& terminal);

// The number in the COM port field, blanks dropped, also when the field holds
// the port's name ("COM3"); 0 when there is none.
long long comPortNumber(const Rs232InitRecord& record);

} // namespace kvl
