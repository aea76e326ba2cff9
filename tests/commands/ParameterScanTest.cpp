#include "commands/ParameterScan.h"

#include <gtest/gtest.h>

#include <string>

namespace kvl {
namespace {

struct ScanCase {
    const char* line;
    bool ecrIdRequired;
    bool complete;
    const char* parameters; // letter and value of each, joined with '|'
};

std::string joined(const ParameterScan& scan) {
    std::string text;
    for (const CommandParameter& parameter : scan.parameters) {
        if (!text.empty())
            text += '|';
        text += parameter.letter;
        text += parameter.value;
    }
    return text;
}

class ScanTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanTest, AgainstThePaymentPattern) {
    const ScanCase& c = GetParam();
    const ParameterScan scan = scanParameters(c.line, ",T,E,A,P", c.ecrIdRequired);
    EXPECT_EQ(scan.complete, c.complete);
    EXPECT_EQ(joined(scan), c.parameters);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScanTest,
    ::testing::Values(ScanCase{"POS_PAGAME,T1,E2,A3,P4", false, true, "T1|E2|A3|P4"},
                      ScanCase{"POS_PAGAME", true, false, ""},
                      ScanCase{"POS_PAGAME", false, true, ""}, ScanCase{"", false, true, ""},
                      ScanCase{"POS_PAGAME,,A3", false, true, "A3"},
                      ScanCase{"POS_PAGAME,A 3 ,P", false, true, "A 3 |P"},
                      // Values read before the check failed are reported, the
                      // caller decides what to do with an incomplete scan.
                      ScanCase{"POS_PAGAME,A3,P4", true, false, "A3"},
                      ScanCase{"POS_PAGAME,T1,E2,A3,P4,X5", false, false, "T1|E2|A3|P4"},
                      ScanCase{"POS_PAGAME,T1,E2,A3,P4,", false, false, "T1|E2|A3|P4"},
                      ScanCase{"POS_PAGAME,E", true, true, "E"},
                      ScanCase{"POS_PAGAME,XE,A1", true, false, "XE"}));

TEST(ScanTest, LineOfManyThousandCommasIsIncomplete) {
    const std::string line = "POS_PAGAME" + std::string(100000, ',');
    EXPECT_FALSE(scanParameters(line, ",T,E,A,P", false).complete);
    // More than a 16-bit count of fields, every one of them a parameter.
    std::string manyFields = "POS_PAGAME";
    for (int i = 0; i < 70000; ++i)
        manyFields += ",A1";
    EXPECT_FALSE(scanParameters(manyFields, ",T,E,A,P", false).complete);
}

struct FitCase {
    const char* value;
    std::size_t width;
    bool fits;
    const char* stored;
};

class FitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTest, LeadingZerosGiveWayButDigitsNever) {
    const auto fitted = fitToWidth(GetParam().value, GetParam().width);
    ASSERT_EQ(fitted.has_value(), GetParam().fits);
    if (fitted) {
        EXPECT_EQ(*fitted, GetParam().stored);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, FitTest,
    ::testing::Values(FitCase{"", 9, true, ""}, FitCase{"1250", 9, true, "1250"},
                      FitCase{"123456789", 9, true, "123456789"},
                      FitCase{"1234567890", 9, false, ""},
                      FitCase{"0000001250", 9, true, "000001250"},
                      FitCase{"0000000000000", 9, true, "000000000"},
                      FitCase{" 000001250", 9, false, ""}, FitCase{"00012345678", 7, false, ""},
                      FitCase{"0001234567", 7, true, "1234567"}, FitCase{"12  ", 3, false, ""}));

} // namespace
} // namespace kvl
