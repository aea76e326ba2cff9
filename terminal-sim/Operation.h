#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim {

// The operations a terminal is asked to run, in the order of their request
// frame types.
enum class Operation {
    Payment,
    PaymentExt,
    Refund,
    Void,
    TerminalBalance,
    Closure,
    Status,
    Preauthorization,
    PreauthorizationInt,
    PreauthorizationClose,
};

constexpr int OperationCount = 10;

// The operation's name as the command line, the scenario file and the exchange
// log spell it: "Payment", "PaymentExt", ...
std::string operationName(Operation operation);

// The operation named, compared without regard to case; nullopt for any other
// text.
std::optional<Operation> operationFromName(std::string_view name);

} // namespace sim
