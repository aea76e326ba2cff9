#pragma once

#include "platform/Platform.h"
#include "shell/forms/FrmWpos1Type.h"
#include "terminal/TerminalContext.h"

namespace kvl {

// What the command processing works on: the terminal procedures' parts, the
// platform's files, clock and message boxes, the resident window's log switch
// and terminal label, and the dispatcher's copy of EcrIdRequired that the
// handlers read.
struct CommandContext {
    TerminalContext terminal;
    Platform& platform;
    FrmWpos1Type& frmWpos1Type;
    bool& handlersEcrIdRequired;
};

} // namespace kvl
