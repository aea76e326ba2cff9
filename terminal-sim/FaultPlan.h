#pragma once

#include "Fault.h"
#include "Operation.h"
#include "Scenario.h"

#include <array>

namespace sim {

// Decides the fault of each call: the defaults of the command line, then every
// scenario rule that picks the call, in the order of the file.
class FaultPlan {
public:
    FaultPlan() = default;
    FaultPlan(Fault defaults, Scenario scenario);

    // Answer "function not supported" to every call of the operation, unless
    // a rule says otherwise.
    void setUnsupported(Operation operation) { unsupported_[index(operation)] = true; }

    // Counts a new call of the operation and gives the faults to apply to it.
    Fault next(Operation operation);

private:
    static std::size_t index(Operation operation) { return static_cast<std::size_t>(operation); }

    Fault defaults_;
    Scenario scenario_;
    std::array<bool, OperationCount> unsupported_{};
    std::array<unsigned, OperationCount> calls_{};
    unsigned anyCalls_ = 0;
};

} // namespace sim
