#include "FieldText.h"

#include <cstdio>

namespace sim {

std::string fieldValue(std::string_view raw) {
    const std::size_t nul = raw.find('\0');
    if (nul != std::string_view::npos)
        raw = raw.substr(0, nul);
    const std::size_t first = raw.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = raw.find_last_not_of(' ');
    return std::string(raw.substr(first, last - first + 1));
}

std::optional<long long> digitsValue(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string printable(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = ' ';
    }
    return result;
}

std::string euros(long long cents) {
    const bool negative = cents < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents)
                                                  : static_cast<unsigned long long>(cents);
    char text[64];
    std::snprintf(text, sizeof text, "%s%llu,%02llu", negative ? "-" : "", magnitude / 100,
                  magnitude % 100);
    return text;
}

std::string zeroPadded(long long value, int width) {
    char text[64];
    std::snprintf(text, sizeof text, "%0*lld", width, value);
    return text;
}

} // namespace sim
