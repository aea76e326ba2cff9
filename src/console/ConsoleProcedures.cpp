#include "console/ConsoleProcedures.h"

#include "platform/ProgramEnd.h"
#include "platform/StepGuard.h"

namespace kvl {

void frmMain_Unload(ConsoleContext& console) {
    skipOnFailure([&] { console.terminal.library.IAE17AX_Free(); });
    throw ProgramEnd{0};
}

void attachConsoleProcedures(ConsoleContext& console) {
    console.terminal.frmMain.onUnload([&console] { frmMain_Unload(console); });
}

} // namespace kvl
