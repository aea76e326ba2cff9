#pragma once

#include "app/Program.h"

namespace kvl {

// One tick of the resident window's timer: looks once for the command file,
// hands it to the dispatcher when it is there, deletes it and paces itself.
// Timer1 is off while the tick runs and on again at its end, except when the
// command file's drive is missing: then polling stops for good.
void Timer1_Timer(Program& program);

} // namespace kvl
