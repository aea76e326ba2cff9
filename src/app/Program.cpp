#include "app/Program.h"

#include "console/ConsoleProcedures.h"
#include "shell/ShellProcedures.h"

namespace kvl {

Program::Program(Platform& platform, TerminalLibrary& library, ModalForms& modal)
    : platform(platform), library(library), modal(modal) {
    attachConsoleProcedures(console);
    attachShellProcedures(shell);
}

} // namespace kvl
