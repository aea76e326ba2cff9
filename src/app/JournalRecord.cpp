#include "app/JournalRecord.h"

#include <array>
#include <cstdio>

namespace kvl {

namespace {

constexpr char Separator = '\t';
constexpr std::size_t CrcDigits = 8;
const char* const HexDigits = "0123456789abcdef";

std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < table.size(); ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::size_t escapedSize(std::string_view field) {
    std::size_t size = field.size();
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '\t' || c == '\r' || c == '\n')
            size += 1;
        else if (byte < 0x20 || byte == 0x7F)
            size += 3;
    }
    return size;
}

void escapeInto(std::string& out, std::string_view field) {
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                out += "\\x";
                out += HexDigits[byte >> 4];
                out += HexDigits[byte & 0xF];
            } else {
                out += c;
            }
        }
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void put(std::string* out, char c) {
    if (out)
        *out += c;
}

// Checks the field's escapes and, given `out`, writes the bytes they stand for.
bool unescape(std::string_view field, std::string* out) {
    if (out)
        out->reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c != '\\') {
            // Only escapes may stand for control characters.
            if (byte < 0x20 || byte == 0x7F)
                return false;
            put(out, c);
            continue;
        }
        if (++i == field.size())
            return false;
        switch (field[i]) {
        case '\\':
            put(out, '\\');
            break;
        case 't':
            put(out, '\t');
            break;
        case 'r':
            put(out, '\r');
            break;
        case 'n':
            put(out, '\n');
            break;
        case 'x': {
            if (i + 2 >= field.size())
                return false;
            const int high = hexValue(field[i + 1]);
            const int low = hexValue(field[i + 2]);
            if (high < 0 || low < 0)
                return false;
            put(out, static_cast<char>(high * 16 + low));
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

} // namespace

std::uint32_t crc32(std::string_view bytes, std::uint32_t crc) {
    static const std::array<std::uint32_t, 256> table = makeCrcTable();
    crc = ~crc;
    for (const char c : bytes)
        crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::string encodeJournalRecord(std::initializer_list<std::string_view> fields) {
    std::size_t size = CrcDigits + 3;
    for (const std::string_view field : fields)
        size += escapedSize(field) + 1;
    std::string line;
    line.reserve(size);
    for (const std::string_view field : fields) {
        if (!line.empty())
            line += Separator;
        escapeInto(line, field);
    }
    char crc[CrcDigits + 1];
    std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(crc32(line)));
    line += Separator;
    line += crc;
    line += "\r\n";
    return line;
}

std::optional<std::vector<std::string_view>> checkJournalRecord(std::string_view line) {
    const std::size_t tab = line.rfind(Separator);
    if (tab == std::string_view::npos || line.size() - tab - 1 != CrcDigits)
        return std::nullopt;
    std::uint32_t stated = 0;
    for (const char c : line.substr(tab + 1)) {
        const int digit = hexValue(c);
        if (digit < 0)
            return std::nullopt;
        stated = stated * 16 + static_cast<std::uint32_t>(digit);
    }
    const std::string_view body = line.substr(0, tab);
    if (crc32(body) != stated)
        return std::nullopt;

    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = body.find(Separator, start);
        const std::string_view field = body.substr(start, end - start);
        if (!unescape(field, nullptr))
            return std::nullopt;
        fields.push_back(field);
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

std::string unescapeJournalField(std::string_view field) {
    std::string out;
    unescape(field, &out);
    return out;
}

std::optional<std::vector<std::string>> decodeJournalRecord(std::string_view line) {
    const auto fields = checkJournalRecord(line);
    if (!fields)
        return std::nullopt;
    std::vector<std::string> decoded;
    for (const std::string_view field : *fields)
        decoded.push_back(unescapeJournalField(field));
    return decoded;
}

} // namespace kvl
