#include "app/ResidentState.h"

namespace kvl {

ResidentState& residentState(Program& program) {
    if (!program.resident)
        program.resident = std::make_shared<ResidentState>();
    return *program.resident;
}

} // namespace kvl
