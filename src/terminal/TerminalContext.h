#pragma once

#include "console/form/FrmMain.h"
#include "platform/MessageBoxes.h"
#include "terminal/CommunicationParameters.h"
#include "terminal/GuardedTerminalLibrary.h"
#include "terminal/Records.h"

namespace kvl {

// What the terminal procedures work on: the console form, where requests come
// from and outcomes go, the four records, the communication parameters, the
// library and the message boxes for its failures.
struct TerminalContext {
    FrmMain& frmMain;
    TerminalRecords& records;
    CommunicationParameters& params;
    GuardedTerminalLibrary& library;
    MessageBoxes& messages;
};

} // namespace kvl
