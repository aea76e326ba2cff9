#include "app/ResidentState.h"

namespace kvl {

ResidentState& residentState(Program& program) {
    if (!program.resident)
        program.resident = std::make_shared<ResidentState>();
    return *program.resident;
}

CommandJournal& commandJournal(Program& program) {
    ResidentState& state = residentState(program);
    if (!state.journal) {
        state.journal = std::make_unique<CommandJournal>(
            program.platform,
            joinPath(program.platform.program.programFolder(), CommandJournal::FileName));
        state.journal->load();
    }
    return *state.journal;
}

} // namespace kvl
