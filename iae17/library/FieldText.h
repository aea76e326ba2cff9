#pragma once

#include <string_view>

namespace iae17 {

// A fixed-width record field without the blanks and NULs that pad it.
std::string_view trimField(std::string_view field);

// The decimal value of a field holding only digits (after trimming), within
// [minimum, maximum]; -1 for anything else.
long fieldNumber(std::string_view field, long minimum, long maximum);

} // namespace iae17
