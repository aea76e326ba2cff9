#include "commands/ParameterScan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

namespace kvl {
namespace {

TEST(ScanTest, AgainstThePaymentPattern) {
    // Line, ECR identifier required, complete, letter and value of each
    // parameter joined with '|'. Values read before the check failed are
    // reported: the caller decides what to do with an incomplete scan.
    const std::tuple<const char*, bool, bool, const char*> cases[] = {
        {"POS_PAGAME,T1,E2,A3,P4", false, true, "T1|E2|A3|P4"},
        {"POS_PAGAME", false, true, ""},
        {"POS_PAGAME,,A3", false, true, "A3"},
        {"POS_PAGAME,A 3 ,P", false, true, "A 3 |P"},
        {"POS_PAGAME,A3,P4", true, false, "A3"},
        {"POS_PAGAME,T1,E2,A3,P4,X5", false, false, "T1|E2|A3|P4"},
        {"POS_PAGAME,T1,E2,A3,P4,", false, false, "T1|E2|A3|P4"},
        {"POS_PAGAME,E", true, true, "E"},
        {"POS_PAGAME,XE,A1", true, false, "XE"}};
    for (const auto& [line, ecrIdRequired, complete, parameters] : cases) {
        SCOPED_TRACE(line);
        const ParameterScan scan = scanParameters(line, ",T,E,A,P", ecrIdRequired);
        EXPECT_EQ(scan.complete, complete);
        std::string joined;
        for (const CommandParameter& parameter : scan.parameters)
            joined +=
                (joined.empty() ? "" : "|") + std::string(1, parameter.letter) + parameter.value;
        EXPECT_EQ(joined, parameters);
    }
}

TEST(FitToWidthTest, LeadingZerosGiveWayButDigitsNever) {
    const std::tuple<const char*, std::size_t, std::optional<std::string>> cases[] = {
        {"", 9, ""},
        {"123456789", 9, "123456789"},
        {"0000001250", 9, "000001250"},
        {"0000000000000", 9, "000000000"},
        {" 000001250", 9, std::nullopt},
        {"00012345678", 7, std::nullopt},
        {"12  ", 3, std::nullopt}};
    for (const auto& [value, width, stored] : cases)
        EXPECT_EQ(fitToWidth(value, width), stored) << '"' << value << '"';
}

} // namespace
} // namespace kvl
