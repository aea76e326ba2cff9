#pragma once

#include "Program.h"
#include "app/CommandFileMemory.h"
#include "controls/TimerBinding.h"

#include <memory>

namespace kvl {

// What the resident service keeps between events, once per process.
struct ResidentState {
    // The resident start-up got as far as reading the parameter file, so
    // saving it at the end writes back what was read, not the defaults.
    bool parametersLoaded = false;
    // Runs Timer1's ticks on the event loop while Timer1 is enabled.
    std::unique_ptr<TimerBinding> timer1;
    CommandFileMemory commandFile;
};

// The program's resident state, made on first use.
ResidentState& residentState(Program& program);

} // namespace kvl
