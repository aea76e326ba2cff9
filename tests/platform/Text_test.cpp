#include "platform/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl::text {
namespace {

std::string splitAtEquals(std::string_view text) {
    std::string parts;
    for (const std::string& part : split(text, '='))
        parts += "[" + part + "]";
    return parts;
}
const auto isNumberOf = [](std::string_view text) -> std::string {
    return isNumber(text) ? "number" : "no";
};
const auto valueOf = [](std::string_view text) -> std::string {
    std::optional<long long> value = numberValue(text);
    return value ? std::to_string(*value) : "none";
};
const auto leadingOf = [](std::string_view text) { return std::to_string(leadingNumber(text)); };
const auto sixWide = [](std::string_view text) { return fixedWidth(text, 6); };

struct TextCase {
    std::string (*helper)(std::string_view);
    std::vector<std::string> texts;
    std::string result; // of each of the texts
};

class TextHelpers : public testing::TestWithParam<TextCase> {};

TEST_P(TextHelpers, GiveTheExpectedResult) {
    for (const std::string& text : GetParam().texts)
        EXPECT_EQ(GetParam().result, GetParam().helper(text)) << '"' << text << '"';
}

const std::string Nul(1, '\0');

// Upper-casing is that of Windows-1252, byte for byte: 0xF7, 0xDF and 0xB5
// stay, 0xFF becomes 0x9F, the caron and ligature letters 0x9A-0x9E rise.
INSTANTIATE_TEST_SUITE_P(
    Cases, TextHelpers,
    testing::Values(
        TextCase{upperCase,
                 {"az09{`@[" + Nul + "\xE0\xE8\xF6\xF8\xFE\xC0"},
                 "AZ09{`@[" + Nul + "\xC0\xC8\xD6\xD8\xDE\xC0"},
        TextCase{upperCase,
                 {"\xF7\xDF\xB5\xFF\x9A\x9C\x9E\x8A\x80"},
                 "\xF7\xDF\xB5\x9F\x8A\x8C\x8E\x8A\x80"},
        TextCase{trim, {"  a b  ", "a b"}, "a b"}, TextCase{trim, {"", "   "}, ""},
        TextCase{trim, {" \tx\r\n "}, "\tx\r\n"}, TextCase{trimLeft, {"  a "}, "a "},
        TextCase{trimRight, {"  a "}, "  a"}, TextCase{splitAtEquals, {""}, ""},
        TextCase{splitAtEquals, {"a=b"}, "[a][b]"}, TextCase{splitAtEquals, {"=="}, "[][][]"},
        TextCase{splitAtEquals, {"a==b="}, "[a][][b][]"},
        TextCase{isNumberOf, {"0", " -0012 ", "+7", "99999999999999999999999"}, "number"},
        TextCase{
            isNumberOf,
            {"", "   ", "+", "+-1", "- 1", "1 2", "1.5", "1e3", "&H10", "\t1", "1" + Nul, "12a"},
            "no"},
        TextCase{valueOf, {"-9223372036854775808"}, "-9223372036854775808"},
        TextCase{valueOf, {"9223372036854775808", "-9223372036854775809"}, "none"},
        TextCase{leadingOf, {"", "abc", "-", "- 5"}, "0"}, TextCase{leadingOf, {"  34 56"}, "34"},
        TextCase{leadingOf, {"-5x"}, "-5"}, TextCase{leadingOf, {"1.9"}, "1"},
        TextCase{leadingOf, {"99999999999999999999"}, "9223372036854775807"},
        TextCase{leadingOf, {"-99999999999999999999"}, "-9223372036854775808"},
        TextCase{sixWide, {"123"}, "123   "}, TextCase{sixWide, {"abcdefg", "abcdef"}, "abcdef"}));

} // namespace
} // namespace kvl::text
