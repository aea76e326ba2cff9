#include "Count.h"

namespace sim {

std::optional<unsigned> readCount(std::string_view text, unsigned most) {
    if (text.empty())
        return std::nullopt;
    unsigned long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > most)
            return std::nullopt;
    }
    return static_cast<unsigned>(value);
}

} // namespace sim
