#include "Operation.h"

#include <array>
#include <cctype>

namespace sim {

namespace {

constexpr std::array<const char*, OperationCount> Names = {"Payment",
                                                           "PaymentExt",
                                                           "Refund",
                                                           "Void",
                                                           "TerminalBalance",
                                                           "Closure",
                                                           "Status",
                                                           "Preauthorization",
                                                           "PreauthorizationInt",
                                                           "PreauthorizationClose"};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto left = static_cast<unsigned char>(a[i]);
        const auto right = static_cast<unsigned char>(b[i]);
        if (std::tolower(left) != std::tolower(right))
            return false;
    }
    return true;
}

} // namespace

std::string operationName(Operation operation) {
    return Names[static_cast<std::size_t>(operation)];
}

std::optional<Operation> operationFromName(std::string_view name) {
    for (std::size_t i = 0; i < Names.size(); ++i)
        if (sameIgnoringCase(name, Names[i]))
            return static_cast<Operation>(i);
    return std::nullopt;
}

} // namespace sim
