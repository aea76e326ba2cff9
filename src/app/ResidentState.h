#pragma once

#include "Program.h"
#include "app/CommandFileMemory.h"
#include "platform/EventLoop.h"

#include <optional>

namespace kvl {

// What the resident service keeps between events, once per process.
struct ResidentState {
    // The resident start-up got as far as reading the parameter file, so
    // saving it at the end writes back what was read, not the defaults.
    bool parametersLoaded = false;
    // The event-loop timer that runs Timer1's ticks, while Timer1 is enabled.
    std::optional<EventLoop::TimerId> timer;
    int timerInterval = 0;
    CommandFileMemory commandFile;
};

// The program's resident state, made on first use.
ResidentState& residentState(Program& program);

} // namespace kvl
