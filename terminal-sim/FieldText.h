#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim {

// What a request field says: its text up to the first NUL (a field never
// written holds NULs), without the blanks around it.
std::string fieldValue(std::string_view raw);

// A whole number written only with decimal digits, at most nine of them (the
// widest numeric field of the records); nullopt for anything else.
std::optional<long long> digitsValue(std::string_view text);

// The text with every control character (a line break among them) replaced by
// a blank, so that request text cannot break the lines of a receipt or a log.
std::string printable(std::string_view text);

// Cents as the receipt shows them: "12,34", "-0,50".
std::string euros(long long cents);

// A number written with exactly `width` digits, zero-padded on the left.
std::string zeroPadded(long long value, int width);

} // namespace sim
