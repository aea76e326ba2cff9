#include "app/Program.h"

#include "console/ConsoleProcedures.h"
#include "shell/ShellProcedures.h"

namespace kvl {

Program::Program(Platform& platform, TerminalLibrary& library, ModalForms& modal)
    : platform(platform), library(library), modal(modal) {
    attachConsoleProcedures(console);
    attachShellProcedures(shell);
}

CommandJournal& commandJournal(Program& program) {
    if (!program.journal) {
        program.journal = std::make_unique<CommandJournal>(
            program.platform,
            program.platform.files.joinPath(program.platform.program.programFolder(),
                                            CommandJournal::FileName));
        program.journal->load();
    }
    return *program.journal;
}

} // namespace kvl
