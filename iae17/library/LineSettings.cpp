#include "library/LineSettings.h"

#include "library/FieldText.h"

namespace iae17 {

namespace {

// The single digit a code field holds, if it is no more than that.
std::optional<unsigned> digit(std::string_view field) {
    const std::string_view text = trimField(field);
    if (text.size() != 1 || text[0] < '0' || text[0] > '9') {
        return std::nullopt;
    }
    return static_cast<unsigned>(text[0] - '0');
}

} // namespace

std::optional<LineSettings> decodeLineSettings(std::string_view baudCode,
                                               std::string_view dataBitsCode,
                                               std::string_view parityCode,
                                               std::string_view stopBitsCode) {
    static const unsigned rates[] = {300, 1200, 2400, 4800, 9600, 19200};
    const auto baud = digit(baudCode);
    const auto dataBits = digit(dataBitsCode);
    const auto parity = digit(parityCode);
    const auto stopBits = digit(stopBitsCode);
    if (!baud || *baud > 5 || !dataBits || *dataBits > 1 || !parity || *parity > 2 || !stopBits ||
        *stopBits > 1) {
        return std::nullopt;
    }
    LineSettings settings;
    settings.baud = rates[*baud];
    settings.dataBits = *dataBits == 0 ? 7 : 8;
    settings.parity = *parity == 0 ? Parity::None : *parity == 1 ? Parity::Odd : Parity::Even;
    settings.stopBits = *stopBits == 0 ? 1 : 2;
    return settings;
}

Milliseconds lineTime(const LineSettings& line, std::size_t bytes) {
    const unsigned bitsPerByte =
        1 + line.dataBits + (line.parity == Parity::None ? 0 : 1) + line.stopBits;
    return Milliseconds(1 + bytes * bitsPerByte * 1000 / line.baud);
}

} // namespace iae17
