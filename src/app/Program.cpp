#include "app/Program.h"

#include "console/ConsoleProcedures.h"
#include "shell/ShellProcedures.h"

namespace kvl {

Program::Program(Platform& platform, TerminalLibrary& library)
    : platform(platform), library(library) {
    attachConsoleProcedures(console);
    attachShellProcedures(shell);
}

} // namespace kvl
