#pragma once

#include "Fault.h"
#include "Operation.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// One line of a scenario: which calls it picks and what it changes for them.
struct ScenarioRule {
    std::optional<Operation> operation; // nullopt: any operation
    std::optional<unsigned> occurrence; // 1 for the first such call; nullopt: every call
    FaultChange change;
    int line = 0;
};

struct Scenario {
    std::vector<ScenarioRule> rules;
};

struct ScenarioReading {
    Scenario scenario;
    std::vector<std::string> errors; // "line 3: ...", empty when every line is sound
};

// Reads a scenario file's text. Grammar, one rule per line:
//   SELECTOR FAULT...
//   SELECTOR = OPERATION | OPERATION#N | OPERATION#*   (OPERATION may be "any")
// Blank lines and lines whose first non-blank character is '#' are skipped; a
// word beginning with '#' ends a rule line.
ScenarioReading readScenario(std::string_view text);

} // namespace sim
