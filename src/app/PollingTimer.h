#pragma once

#include "Program.h"

namespace kvl {

// Makes the Timer1 model run on the event loop: from now on, while Timer1 is
// enabled with an interval, the loop calls Timer1_Timer every interval; when
// Timer1 is disabled or its interval changes, the loop's timer follows.
void bindPollingTimer(Program& program);

} // namespace kvl
