#pragma once

#include <optional>
#include <string_view>

namespace sim {

// A whole number written only with decimal digits and not above `most`;
// nullopt for anything else (empty, signs, blanks, too large).
std::optional<unsigned> readCount(std::string_view text, unsigned most);

} // namespace sim
