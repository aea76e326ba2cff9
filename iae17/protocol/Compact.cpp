#include "protocol/Compact.h"

#include <cstdint>

namespace iae17::protocol {

namespace {

constexpr std::uint8_t BlankPadded = 0x00;
constexpr std::uint8_t NulPadded = 0x40;
constexpr std::uint8_t SameAsReference = 0x80;
constexpr std::uint8_t KindMask = 0xC0;
constexpr std::uint8_t LengthMask = 0x3F;
constexpr std::size_t LongLength = 63;

void appendField(std::string& out, std::string_view field) {
    std::uint8_t kind = BlankPadded;
    if (!field.empty() && (field.back() == ' ' || field.back() == '\0')) {
        const char pad = field.back();
        kind = pad == ' ' ? BlankPadded : NulPadded;
        const std::size_t last = field.find_last_not_of(pad);
        field = last == std::string_view::npos ? field.substr(0, 0) : field.substr(0, last + 1);
    }
    if (field.size() < LongLength) {
        out += static_cast<char>(kind | field.size());
    } else {
        out += static_cast<char>(kind | LongLength);
        out += static_cast<char>(field.size() >> 8);
        out += static_cast<char>(field.size() & 0xFF);
    }
    out.append(field);
}

std::uint8_t take(std::string_view& bytes) {
    const auto value = static_cast<std::uint8_t>(bytes.front());
    bytes.remove_prefix(1);
    return value;
}

} // namespace

std::string compactImage(const RecordLayout& layout, std::string_view image,
                         std::string_view reference) {
    std::string out;
    out.reserve(layout.count() + 64);
    const bool referenced = reference.size() == layout.size();
    for (std::size_t i = 0; i < layout.count(); ++i) {
        const std::string_view field = layout.slice(image, i);
        if (referenced && field == layout.slice(reference, i)) {
            out += static_cast<char>(SameAsReference);
        } else {
            appendField(out, field);
        }
    }
    return out;
}

std::optional<std::string> expandImage(const RecordLayout& layout, std::string_view& bytes,
                                       std::string_view reference) {
    std::string image;
    image.reserve(layout.size());
    std::string_view rest = bytes;
    for (std::size_t i = 0; i < layout.count(); ++i) {
        const std::size_t width = layout.field(i).width;
        if (rest.empty()) {
            return std::nullopt;
        }
        const std::uint8_t head = take(rest);
        const std::uint8_t kind = head & KindMask;
        if (kind == SameAsReference) {
            if (reference.size() != layout.size() || (head & LengthMask) != 0) {
                return std::nullopt;
            }
            image.append(layout.slice(reference, i));
            continue;
        }
        if (kind != BlankPadded && kind != NulPadded) {
            return std::nullopt;
        }
        std::size_t length = head & LengthMask;
        if (length == LongLength) {
            if (rest.size() < 2) {
                return std::nullopt;
            }
            length = static_cast<std::size_t>(take(rest)) << 8;
            length |= take(rest);
        }
        if (length > width || length > rest.size()) {
            return std::nullopt;
        }
        image.append(rest.substr(0, length));
        image.append(width - length, kind == NulPadded ? '\0' : ' ');
        rest.remove_prefix(length);
    }
    bytes = rest;
    return image;
}

} // namespace iae17::protocol
