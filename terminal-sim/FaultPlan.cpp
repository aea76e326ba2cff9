#include "FaultPlan.h"

namespace sim {

FaultPlan::FaultPlan(Fault defaults, Scenario scenario)
    : defaults_(defaults), scenario_(std::move(scenario)) {}

Fault FaultPlan::next(Operation operation) {
    const unsigned call = ++calls_[index(operation)];
    const unsigned anyCall = ++anyCalls_;
    Fault fault = defaults_;
    fault.unsupported = fault.unsupported || unsupported_[index(operation)];
    for (const ScenarioRule& rule : scenario_.rules) {
        if (rule.operation && *rule.operation != operation)
            continue;
        const unsigned counted = rule.operation ? call : anyCall;
        if (rule.occurrence && *rule.occurrence != counted)
            continue;
        rule.change.applyTo(fault);
    }
    return fault;
}

} // namespace sim
