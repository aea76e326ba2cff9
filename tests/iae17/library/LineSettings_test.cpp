#include "library/LineSettings.h"

#include <gtest/gtest.h>

namespace iae17 {
namespace {

struct Codes {
    const char* baud;
    const char* dataBits;
    const char* parity;
    const char* stopBits;
    std::optional<LineSettings> expected;
};

LineSettings line(unsigned baud, unsigned dataBits, Parity parity, unsigned stopBits) {
    return LineSettings{baud, dataBits, parity, stopBits};
}

const Codes Table[] = {
    {"0 ", "1 ", "0 ", "0 ", line(300, 8, Parity::None, 1)},
    {"1 ", "1 ", "0 ", "0 ", line(1200, 8, Parity::None, 1)},
    {"2 ", "1 ", "0 ", "0 ", line(2400, 8, Parity::None, 1)},
    {"3 ", "1 ", "0 ", "0 ", line(4800, 8, Parity::None, 1)},
    {"4 ", "1 ", "0 ", "0 ", line(9600, 8, Parity::None, 1)},
    {"5 ", "1 ", "0 ", "0 ", line(19200, 8, Parity::None, 1)},
    {"4 ", "0 ", "0 ", "0 ", line(9600, 7, Parity::None, 1)},
    {"4 ", "1 ", "1 ", "0 ", line(9600, 8, Parity::Odd, 1)},
    {"4 ", "1 ", "2 ", "0 ", line(9600, 8, Parity::Even, 1)},
    {"4 ", "1 ", "0 ", "1 ", line(9600, 8, Parity::None, 2)},
    {"0 ", "0 ", "2 ", "1 ", line(300, 7, Parity::Even, 2)},
    {" 4", "1", "0\0", "0", line(9600, 8, Parity::None, 1)},
    {"6 ", "1 ", "0 ", "0 ", std::nullopt},
    {"4 ", "2 ", "0 ", "0 ", std::nullopt},
    {"4 ", "1 ", "3 ", "0 ", std::nullopt},
    {"4 ", "1 ", "0 ", "2 ", std::nullopt},
    {"  ", "1 ", "0 ", "0 ", std::nullopt},
    {"\0\0", "1 ", "0 ", "0 ", std::nullopt},
    {"-1", "1 ", "0 ", "0 ", std::nullopt},
    {"04", "1 ", "0 ", "0 ", std::nullopt},
    {"4 ", "x ", "0 ", "0 ", std::nullopt},
};

class DecodeLineSettings : public ::testing::TestWithParam<Codes> {};

TEST_P(DecodeLineSettings, GivesExactlyTheLineTheCodesName) {
    const Codes& codes = GetParam();
    const auto field = [](const char* text) { return std::string_view(text, 2); };
    const auto decoded = decodeLineSettings(field(codes.baud), field(codes.dataBits),
                                            field(codes.parity), field(codes.stopBits));
    ASSERT_EQ(codes.expected.has_value(), decoded.has_value());
    if (decoded) {
        EXPECT_EQ(codes.expected->baud, decoded->baud);
        EXPECT_EQ(codes.expected->dataBits, decoded->dataBits);
        EXPECT_EQ(codes.expected->parity, decoded->parity);
        EXPECT_EQ(codes.expected->stopBits, decoded->stopBits);
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, DecodeLineSettings, ::testing::ValuesIn(Table));

} // namespace
} // namespace iae17
