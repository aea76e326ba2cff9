#include "app/PollingTimer.h"

#include "app/PollingCycle.h"
#include "app/ResidentState.h"

namespace kvl {

void bindPollingTimer(Program& program) {
    Timer& timer = program.frmWpos1Type.Timer1;
    timer.onTimer([&program] { Timer1_Timer(program); });
    residentState(program).timer1 = std::make_unique<TimerBinding>(timer, program.platform.events);
}

} // namespace kvl
