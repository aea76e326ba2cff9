#include "app/PollingTimer.h"

#include "app/PollingCycle.h"
#include "app/ResidentState.h"

#include <chrono>

namespace kvl {

namespace {

void followTimer1(Program& program) {
    const Timer& model = program.frmWpos1Type.Timer1;
    ResidentState& state = residentState(program);
    EventLoop& events = program.platform.events;
    const bool wanted = model.enabled() && model.interval() > 0;

    if (state.timer && (!wanted || state.timerInterval != model.interval())) {
        events.stopTimer(*state.timer);
        state.timer.reset();
    }
    if (wanted && !state.timer) {
        state.timerInterval = model.interval();
        state.timer = events.startTimer(std::chrono::milliseconds(model.interval()),
                                        [&program] { Timer1_Timer(program); });
    }
}

} // namespace

void bindPollingTimer(Program& program) {
    program.frmWpos1Type.Timer1.onChange([&program] { followTimer1(program); });
    followTimer1(program);
}

} // namespace kvl
