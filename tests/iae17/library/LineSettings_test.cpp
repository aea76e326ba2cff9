#include "library/LineSettings.h"

#include <gtest/gtest.h>

namespace iae17 {
namespace {

// The serial init record's codes (baud, data bits, parity, stop bits; each a
// 2-character field) and the line they name, or none.
TEST(LineSettings, EveryCodeDecodesToExactlyTheLineItNames) {
    const struct {
        std::string_view baud, dataBits, parity, stopBits;
        std::optional<LineSettings> line;
    } table[] = {
        {"0 ", "1 ", "0 ", "0 ", LineSettings{300, 8, Parity::None, 1}},
        {"1 ", "1 ", "0 ", "0 ", LineSettings{1200, 8, Parity::None, 1}},
        {"2 ", "1 ", "0 ", "0 ", LineSettings{2400, 8, Parity::None, 1}},
        {"3 ", "1 ", "0 ", "0 ", LineSettings{4800, 8, Parity::None, 1}},
        {"4 ", "1 ", "0 ", "0 ", LineSettings{9600, 8, Parity::None, 1}},
        {"5 ", "1 ", "0 ", "0 ", LineSettings{19200, 8, Parity::None, 1}},
        {"4 ", "0 ", "0 ", "0 ", LineSettings{9600, 7, Parity::None, 1}},
        {"4 ", "1 ", "1 ", "0 ", LineSettings{9600, 8, Parity::Odd, 1}},
        {"4 ", "1 ", "2 ", "0 ", LineSettings{9600, 8, Parity::Even, 1}},
        {"4 ", "1 ", "0 ", "1 ", LineSettings{9600, 8, Parity::None, 2}},
        {" 4", {"1\0", 2}, {"0\0", 2}, {"0\0", 2}, LineSettings{9600, 8, Parity::None, 1}},
        {"6 ", "1 ", "0 ", "0 ", std::nullopt},
        {"4 ", "2 ", "0 ", "0 ", std::nullopt},
        {"4 ", "1 ", "3 ", "0 ", std::nullopt},
        {"4 ", "1 ", "0 ", "2 ", std::nullopt},
        {"  ", "1 ", "0 ", "0 ", std::nullopt},
        {{"\0\0", 2}, "1 ", "0 ", "0 ", std::nullopt},
        {"-1", "1 ", "0 ", "0 ", std::nullopt},
        {"04", "1 ", "0 ", "0 ", std::nullopt},
        {"4 ", "x ", "0 ", "0 ", std::nullopt},
    };
    for (const auto& codes : table) {
        EXPECT_EQ(codes.line,
                  decodeLineSettings(codes.baud, codes.dataBits, codes.parity, codes.stopBits))
            << codes.baud << codes.dataBits << codes.parity << codes.stopBits;
    }
}

} // namespace
} // namespace iae17
