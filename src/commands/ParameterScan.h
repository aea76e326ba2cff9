#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvl {

// One comma-introduced parameter of a command line: its letter (the field's
// first character) and the rest of the field, unchanged.
struct CommandParameter {
    char letter = '\0';
    std::string value;
};

// The outcome of checking a command line against a handler's pattern such as
// ",T,E,A,P". complete is false when the line has more parameter fields than
// the pattern has letters, or when the pattern's E is required and the line
// has no ",E". parameters holds the fields read before the check failed, in
// line order; an empty field is not a parameter.
struct ParameterScan {
    bool complete = true;
    std::vector<CommandParameter> parameters;
};

ParameterScan scanParameters(std::string_view line, std::string_view pattern, bool ecrIdRequired);

// A value as it may be stored into a field of the given width: leading zeros
// beyond the width are dropped; a value still longer than the width does not
// fit (nullopt), since cutting it would turn it into another number.
std::optional<std::string> fitToWidth(std::string_view value, std::size_t width);

} // namespace kvl
