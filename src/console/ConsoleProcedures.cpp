#include "console/ConsoleProcedures.h"

#include "platform/StepGuard.h"

namespace kvl {

namespace {
constexpr int ProgramEnded = 0;
}

void frmMain_Unload(ConsoleContext& console) {
    skipOnFailure([&] { console.terminal.library.IAE17AX_Free(); });
    console.events.quit(ProgramEnded);
}

void attachConsoleProcedures(ConsoleContext& console) {
    console.terminal.frmMain.onUnload([&console] { frmMain_Unload(console); });
}

} // namespace kvl
