#include "platform/Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace kvl::text {
namespace {

std::string bytes(std::initializer_list<unsigned char> list) {
    return std::string(list.begin(), list.end());
}

struct UpperCase {
    unsigned char from;
    unsigned char to;
};

class UpperCaseByte : public testing::TestWithParam<UpperCase> {};

TEST_P(UpperCaseByte, MapsOneByte) {
    const UpperCase c = GetParam();
    EXPECT_EQ(upperCase(bytes({c.from})), bytes({c.to}))
        << "byte 0x" << std::hex << static_cast<int>(c.from);
}

INSTANTIATE_TEST_SUITE_P(
    Windows1252, UpperCaseByte,
    testing::Values(UpperCase{'a', 'A'}, UpperCase{'z', 'Z'}, UpperCase{'A', 'A'},
                    UpperCase{'0', '0'}, UpperCase{'{', '{'}, UpperCase{'`', '`'},
                    UpperCase{0xE0, 0xC0}, UpperCase{0xE8, 0xC8}, UpperCase{0xF6, 0xD6},
                    UpperCase{0xF7, 0xF7}, UpperCase{0xF8, 0xD8}, UpperCase{0xFE, 0xDE},
                    UpperCase{0x9A, 0x8A}, UpperCase{0x9C, 0x8C}, UpperCase{0x9E, 0x8E},
                    UpperCase{0xFF, 0x9F}, UpperCase{0xDF, 0xDF}, UpperCase{0xB5, 0xB5},
                    UpperCase{0xC0, 0xC0}, UpperCase{0x8A, 0x8A}, UpperCase{0x00, 0x00},
                    UpperCase{0x80, 0x80}));

TEST(UpperCase, EveryByteMapsToOneByteAndIsStable) {
    for (int c = 0; c < 256; ++c) {
        const std::string once = upperCase(std::string(1, static_cast<char>(c)));
        ASSERT_EQ(once.size(), 1u);
        EXPECT_EQ(upperCase(once), once) << "byte " << c;
    }
}

TEST(UpperCase, KeepsLengthAndEmbeddedNul) {
    const std::string text("ab\0cd", 5);
    EXPECT_EQ(upperCase(text), std::string("AB\0CD", 5));
}

struct TrimCase {
    std::string text;
    std::string both;
    std::string left;
    std::string right;
};

class Trim : public testing::TestWithParam<TrimCase> {};

TEST_P(Trim, RemovesSpacesOnly) {
    const TrimCase& c = GetParam();
    EXPECT_EQ(trim(c.text), c.both);
    EXPECT_EQ(trimLeft(c.text), c.left);
    EXPECT_EQ(trimRight(c.text), c.right);
}

INSTANTIATE_TEST_SUITE_P(Cases, Trim,
                         testing::Values(TrimCase{"", "", "", ""}, TrimCase{"   ", "", "", ""},
                                         TrimCase{"abc", "abc", "abc", "abc"},
                                         TrimCase{"  a b  ", "a b", "a b  ", "  a b"},
                                         TrimCase{"\tx\t", "\tx\t", "\tx\t", "\tx\t"},
                                         TrimCase{" x\r\n", "x\r\n", "x\r\n", " x\r\n"},
                                         TrimCase{std::string(" \0 ", 3), std::string("\0", 1),
                                                  std::string("\0 ", 2), std::string(" \0", 2)}));

struct SplitCase {
    std::string text;
    char separator;
    std::vector<std::string> parts;
};

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, GivesEveryPart) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(split(c.text, c.separator), c.parts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Split,
    testing::Values(SplitCase{"", '=', {}}, SplitCase{"abc", '=', {"abc"}},
                    SplitCase{"a=b", '=', {"a", "b"}}, SplitCase{"a=b=c", '=', {"a", "b", "c"}},
                    SplitCase{"=", '=', {"", ""}}, SplitCase{"a=", '=', {"a", ""}},
                    SplitCase{"=a", '=', {"", "a"}}, SplitCase{"a==b", '=', {"a", "", "b"}},
                    SplitCase{"1;2;", ';', {"1", "2", ""}}));

struct NumberCase {
    std::string text;
    std::optional<long long> value;
};

class Number : public testing::TestWithParam<NumberCase> {};

TEST_P(Number, AcceptsOnlyBlanksSignAndDigits) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(numberValue(c.text), c.value) << '"' << c.text << '"';
    if (c.value) {
        EXPECT_TRUE(isNumber(c.text)) << '"' << c.text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Number,
    testing::Values(NumberCase{"0", 0}, NumberCase{"123", 123}, NumberCase{"  42  ", 42},
                    NumberCase{"+7", 7}, NumberCase{"-7", -7}, NumberCase{" -0012 ", -12},
                    NumberCase{"9223372036854775807", LLONG_MAX},
                    NumberCase{"-9223372036854775808", LLONG_MIN},
                    NumberCase{"9223372036854775808", std::nullopt},
                    NumberCase{"-9223372036854775809", std::nullopt}, NumberCase{"", std::nullopt},
                    NumberCase{"   ", std::nullopt}, NumberCase{"+", std::nullopt},
                    NumberCase{"-", std::nullopt}, NumberCase{"+-1", std::nullopt},
                    NumberCase{"--1", std::nullopt}, NumberCase{"1 2", std::nullopt},
                    NumberCase{"- 1", std::nullopt}, NumberCase{"1.5", std::nullopt},
                    NumberCase{"1,5", std::nullopt}, NumberCase{"1e3", std::nullopt},
                    NumberCase{"&H10", std::nullopt}, NumberCase{"0x10", std::nullopt},
                    NumberCase{"\t1", std::nullopt}, NumberCase{"1\r", std::nullopt},
                    NumberCase{"1-", std::nullopt}, NumberCase{"12a", std::nullopt},
                    NumberCase{std::string("1\0", 2), std::nullopt}));

struct IsNumberCase {
    std::string text;
    bool number;
};

class IsNumber : public testing::TestWithParam<IsNumberCase> {};

TEST_P(IsNumber, FollowsTheRule) {
    EXPECT_EQ(isNumber(GetParam().text), GetParam().number) << '"' << GetParam().text << '"';
}

// Overlong digit strings are still numbers by the rule; only their value is out of reach.
INSTANTIATE_TEST_SUITE_P(Cases, IsNumber,
                         testing::Values(IsNumberCase{"99999999999999999999999", true},
                                         IsNumberCase{" +0 ", true}, IsNumberCase{"", false},
                                         IsNumberCase{" ", false}, IsNumberCase{"1 2", false},
                                         IsNumberCase{"1.0", false}, IsNumberCase{"+ 1", false}));

struct LeadingCase {
    std::string text;
    long long value;
};

class LeadingNumber : public testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumber, ReadsDigitsUpToTheFirstOther) {
    EXPECT_EQ(leadingNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, LeadingNumber,
                         testing::Values(LeadingCase{"", 0}, LeadingCase{"abc", 0},
                                         LeadingCase{"12abc", 12}, LeadingCase{"  34 56", 34},
                                         LeadingCase{"-5x", -5}, LeadingCase{"+8", 8},
                                         LeadingCase{"-", 0}, LeadingCase{"- 5", 0},
                                         LeadingCase{"1.9", 1}, LeadingCase{"007", 7},
                                         LeadingCase{"99999999999999999999", LLONG_MAX},
                                         LeadingCase{"-99999999999999999999", LLONG_MIN},
                                         LeadingCase{"-9223372036854775808", LLONG_MIN}));

struct FixedWidthCase {
    std::string text;
    std::size_t width;
    std::string stored;
};

class FixedWidth : public testing::TestWithParam<FixedWidthCase> {};

TEST_P(FixedWidth, LeftAlignsPadsAndCuts) {
    EXPECT_EQ(fixedWidth(GetParam().text, GetParam().width), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedWidth,
    testing::Values(FixedWidthCase{"123", 6, "123   "}, FixedWidthCase{"", 6, "      "},
                    FixedWidthCase{"abcdef", 6, "abcdef"}, FixedWidthCase{"abcdefg", 6, "abcdef"},
                    FixedWidthCase{"abc", 0, ""}, FixedWidthCase{" a", 3, " a "}));

struct UpToNulCase {
    std::string text;
    std::string result;
};

class UpToNul : public testing::TestWithParam<UpToNulCase> {};

TEST_P(UpToNul, StopsAtTheFirstNul) {
    EXPECT_EQ(upToNul(GetParam().text), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Cases, UpToNul,
                         testing::Values(UpToNulCase{"", ""}, UpToNulCase{"abc", "abc"},
                                         UpToNulCase{std::string("\0abc", 4), ""},
                                         UpToNulCase{std::string("ab\0c\0", 5), "ab"}));

TEST(RemoveAll, RemovesEveryOccurrence) {
    EXPECT_EQ(removeAll("1.234.567", '.'), "1234567");
    EXPECT_EQ(removeAll("...", '.'), "");
    EXPECT_EQ(removeAll("abc", '.'), "abc");
    EXPECT_EQ(removeAll(std::string("a\0b\0", 4), '\0'), "ab");
}

struct CompareCase {
    std::string a;
    std::string b;
    bool equal;
};

class EqualsIgnoringCase : public testing::TestWithParam<CompareCase> {};

TEST_P(EqualsIgnoringCase, ComparesUpperCased) {
    const CompareCase& c = GetParam();
    EXPECT_EQ(equalsIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(equalsIgnoringCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
}

INSTANTIATE_TEST_SUITE_P(Cases, EqualsIgnoringCase,
                         testing::Values(CompareCase{"", "", true}, CompareCase{"abc", "ABC", true},
                                         CompareCase{"Config.INI", "config.ini", true},
                                         CompareCase{bytes({0xE8}), bytes({0xC8}), true},
                                         CompareCase{bytes({0xFF}), bytes({0x9F}), true},
                                         CompareCase{bytes({0xDF}), bytes({0xFF}), false},
                                         CompareCase{"abc", "abd", false},
                                         CompareCase{"abc", "abcd", false},
                                         CompareCase{"[", "{", false}));

struct FindCase {
    std::string text;
    std::string needle;
    std::size_t position;
};

class FindIgnoringCase : public testing::TestWithParam<FindCase> {};

TEST_P(FindIgnoringCase, GivesTheFirstPosition) {
    EXPECT_EQ(findIgnoringCase(GetParam().text, GetParam().needle), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindIgnoringCase,
                         testing::Values(FindCase{"Hello World", "world", 6},
                                         FindCase{"abcABC", "ABC", 0}, FindCase{"abc", "", 0},
                                         FindCase{"", "", 0}, FindCase{"", "a", std::string::npos},
                                         FindCase{"ab", "abc", std::string::npos},
                                         FindCase{"xxaxab", "AB", 4},
                                         FindCase{"abc", "d", std::string::npos}));

} // namespace
} // namespace kvl::text
