#pragma once

#include "platform/EventLoop.h"
#include "terminal/TerminalContext.h"

namespace kvl {

// What the console's procedures work on: the terminal procedures' parts
// (the console form among them) and the event loop that ends the program.
struct ConsoleContext {
    TerminalContext terminal;
    EventLoop& events;
};

} // namespace kvl
