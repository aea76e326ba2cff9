#pragma once

#include "Program.h"
#include "app/CommandFileHandling.h"
#include "app/CommandJournal.h"
#include "platform/EventLoop.h"

#include <memory>
#include <optional>

namespace kvl {

// What the resident service keeps between events, once per process.
struct ResidentState {
    // The resident start-up got as far as reading the parameter file, so
    // saving it at the end writes back what was read, not the defaults.
    bool parametersLoaded = false;
    // Why the terminal library could not be loaded, empty when it was: the
    // resident modes end, the one-shot run refuses every line with it.
    std::string libraryFailure;
    // The event-loop timer that runs Timer1's ticks, while Timer1 is enabled.
    std::optional<EventLoop::TimerId> timer;
    int timerInterval = 0;
    CommandFileState commandFile;
    std::unique_ptr<CommandJournal> journal;
};

// The program's resident state, made on first use.
ResidentState& residentState(Program& program);

// The command journal in the program folder, loaded on first use.
CommandJournal& commandJournal(Program& program);

} // namespace kvl
