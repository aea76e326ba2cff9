#include "platform/Text.h"

#include <climits>

namespace kvl::text {

namespace {

constexpr char Blank = ' ';

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

unsigned char upperByte(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<unsigned char>(c - 0x20);
    }
    // Latin-1 lower-case letters; 0xF7 is the division sign and 0xDF (sharp s)
    // has no single-byte capital.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<unsigned char>(c - 0x20);
    }
    switch (c) {
    case 0x9A: // s caron
        return 0x8A;
    case 0x9C: // oe
        return 0x8C;
    case 0x9E: // z caron
        return 0x8E;
    case 0xFF: // y diaeresis
        return 0x9F;
    default:
        return c;
    }
}

char upperChar(char c) {
    return static_cast<char>(upperByte(static_cast<unsigned char>(c)));
}

std::size_t skipBlanks(std::string_view text, std::size_t position) {
    while (position < text.size() && text[position] == Blank) {
        ++position;
    }
    return position;
}

// Accumulates decimal digits from position; false when the value leaves the
// 64-bit range. Negative values are built downwards so LLONG_MIN fits.
bool accumulateDigits(std::string_view text, std::size_t& position, bool negative,
                      long long& value) {
    value = 0;
    for (; position < text.size() && isDigit(text[position]); ++position) {
        const int digit = text[position] - '0';
        if (negative) {
            if (value < (LLONG_MIN + digit) / 10) {
                return false;
            }
            value = value * 10 - digit;
        } else {
            if (value > (LLONG_MAX - digit) / 10) {
                return false;
            }
            value = value * 10 + digit;
        }
    }
    return true;
}

} // namespace

std::string upperCase(std::string_view text) {
    std::string result(text);
    upperCaseInPlace(result);
    return result;
}

void upperCaseInPlace(std::string& text) {
    for (char& c : text) {
        c = upperChar(c);
    }
}

std::string trimLeft(std::string_view text) {
    const std::size_t first = text.find_first_not_of(Blank);
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string trimRight(std::string_view text) {
    const std::size_t last = text.find_last_not_of(Blank);
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string trim(std::string_view text) {
    return trimLeft(trimRight(text));
}

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    if (text.empty()) {
        return parts;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t found = text.find(separator, start);
        if (found == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, found - start));
        start = found + 1;
    }
}

bool isNumber(std::string_view text) {
    std::size_t position = skipBlanks(text, 0);
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        ++position;
    }
    const std::size_t digitsStart = position;
    while (position < text.size() && isDigit(text[position])) {
        ++position;
    }
    if (position == digitsStart) {
        return false;
    }
    return skipBlanks(text, position) == text.size();
}

std::optional<long long> numberValue(std::string_view text) {
    if (!isNumber(text)) {
        return std::nullopt;
    }
    std::size_t position = skipBlanks(text, 0);
    bool negative = false;
    if (text[position] == '+' || text[position] == '-') {
        negative = text[position] == '-';
        ++position;
    }
    long long value = 0;
    if (!accumulateDigits(text, position, negative, value)) {
        return std::nullopt;
    }
    return value;
}

long long leadingNumber(std::string_view text) {
    std::size_t position = skipBlanks(text, 0);
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    long long value = 0;
    if (!accumulateDigits(text, position, negative, value)) {
        // Too many digits for 64 bits: the nearest value that fits.
        return negative ? LLONG_MIN : LLONG_MAX;
    }
    return value;
}

std::string fixedWidth(std::string_view text, std::size_t width) {
    std::string result(text.substr(0, width));
    result.resize(width, Blank);
    return result;
}

std::string upToNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return std::string(text.substr(0, nul));
}

std::string removeAll(std::string_view text, char character) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != character) {
            result.push_back(c);
        }
    }
    return result;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperChar(a[i]) != upperChar(b[i])) {
            return false;
        }
    }
    return true;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view needle) {
    if (needle.size() > text.size()) {
        return std::string_view::npos;
    }
    for (std::size_t start = 0; start + needle.size() <= text.size(); ++start) {
        if (equalsIgnoringCase(text.substr(start, needle.size()), needle)) {
            return start;
        }
    }
    return std::string_view::npos;
}

} // namespace kvl::text
