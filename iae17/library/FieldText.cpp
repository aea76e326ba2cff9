#include "library/FieldText.h"

namespace iae17 {

namespace {

bool isPadding(char c) {
    return c == ' ' || c == '\0' || c == '\t';
}

} // namespace

std::string_view trimField(std::string_view field) {
    while (!field.empty() && isPadding(field.front())) {
        field.remove_prefix(1);
    }
    while (!field.empty() && isPadding(field.back())) {
        field.remove_suffix(1);
    }
    return field;
}

long fieldNumber(std::string_view field, long minimum, long maximum) {
    const std::string_view text = trimField(field);
    if (text.empty()) {
        return -1;
    }
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
        if (value > maximum) {
            return -1;
        }
    }
    return value < minimum ? -1 : value;
}

} // namespace iae17
