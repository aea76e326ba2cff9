#include "gui/qt/Windows1252.h"

#include <array>

namespace kvl::qt {

namespace {

// The characters of the bytes 0x80 to 0x9F; the undefined ones keep their
// own number.
constexpr std::array<char16_t, 32> highControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char unrepresentable = '?';

// The byte of a character, or -1 when it has none.
int byteOf(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return character;
    for (std::size_t i = 0; i < highControls.size(); ++i)
        if (highControls[i] == character)
            return static_cast<int>(0x80 + i);
    return -1;
}

} // namespace

QString fromWindows1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text.append(QChar(value >= 0x80 && value < 0xA0 ? highControls[value - 0x80]
                                                        : static_cast<char16_t>(value)));
    }
    return text;
}

bool inWindows1252(QChar character) {
    return byteOf(character.unicode()) >= 0;
}

std::string toWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar character = text.at(i);
        // A character outside the basic plane is two units and one '?'.
        if (character.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        const int byte = byteOf(character.unicode());
        bytes += byte < 0 ? unrepresentable : static_cast<char>(byte);
    }
    return bytes;
}

} // namespace kvl::qt
