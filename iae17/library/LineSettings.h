#pragma once

#include "library/Clock.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace iae17 {

enum class Parity { None, Odd, Even };

// Serial line settings as the caller's codes ask for them.
struct LineSettings {
    unsigned baud = 9600;
    unsigned dataBits = 8;
    Parity parity = Parity::None;
    unsigned stopBits = 1;

    bool operator==(const LineSettings& other) const {
        return baud == other.baud && dataBits == other.dataBits && parity == other.parity &&
               stopBits == other.stopBits;
    }
};

// Decodes the four codes of the serial init record (each a 2-character field
// holding one digit, blank-padded): baud 0-5 -> 300, 1200, 2400, 4800, 9600,
// 19200; data bits 0 -> 7, 1 -> 8; parity 0 none, 1 odd, 2 even; stop bits
// 0 -> 1, 1 -> 2. Any other field gives nullopt.
std::optional<LineSettings> decodeLineSettings(std::string_view baudCode,
                                               std::string_view dataBitsCode,
                                               std::string_view parityCode,
                                               std::string_view stopBitsCode);

// How long the line takes to carry this many bytes at these settings: start
// bit, data bits, parity bit and stop bits for each, rounded up by a
// millisecond.
Milliseconds lineTime(const LineSettings& line, std::size_t bytes);

} // namespace iae17
