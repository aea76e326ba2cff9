#include "library/LineSettings.h"

#include <gtest/gtest.h>

namespace iae17 {
namespace {

// The serial init record's four 2-character codes and the line they name as
// "baud bits parity stop", or "-" for none.
TEST(LineSettings, EveryCodeDecodesToExactlyTheLineItNames) {
    const std::pair<std::string, const char*> table[] = {
        {"0 1 0 0 ", "300 8N1"},   {"1 1 0 0 ", "1200 8N1"},
        {"2 1 0 0 ", "2400 8N1"},  {"3 1 0 0 ", "4800 8N1"},
        {"5 1 0 0 ", "19200 8N1"}, {"4 0 0 0 ", "9600 7N1"},
        {"4 1 1 0 ", "9600 8O1"},  {"4 1 2 0 ", "9600 8E1"},
        {"4 1 0 1 ", "9600 8N2"},  {{" 41\0000\0000\0", 8}, "9600 8N1"},
        {"6 1 0 0 ", "-"},         {"4 2 0 0 ", "-"},
        {"4 1 3 0 ", "-"},         {"4 1 0 2 ", "-"},
        {"  1 0 0 ", "-"},         {{"\0\0001 0 0 ", 8}, "-"},
        {"-11 0 0 ", "-"},         {"041 0 0 ", "-"}};
    for (const auto& [codes, line] : table) {
        const std::string_view c = codes;
        const auto got =
            decodeLineSettings(c.substr(0, 2), c.substr(2, 2), c.substr(4, 2), c.substr(6, 2));
        const std::string text =
            !got ? "-"
                 : std::to_string(got->baud) + " " + std::to_string(got->dataBits) +
                       "NOE"[static_cast<int>(got->parity)] + std::to_string(got->stopBits);
        EXPECT_EQ(text, line) << codes;
    }
}

} // namespace
} // namespace iae17
