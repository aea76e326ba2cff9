#include "config/ConfigurationLine.h"

#include <gtest/gtest.h>

#include <string>

namespace kvl::config {
namespace {

struct CommentCase {
    std::string line;
    bool comment;
};

class CommentLineTest : public ::testing::TestWithParam<CommentCase> {};

TEST_P(CommentLineTest, EmptyOrSemicolonFirstIsAComment) {
    EXPECT_EQ(isCommentLine(GetParam().line), GetParam().comment) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, CommentLineTest,
                         ::testing::Values(CommentCase{"", true}, CommentCase{";", true},
                                           CommentCase{"; TIPO: ETH", true},
                                           CommentCase{"   ;IPAD: 1.2.3.4", true},
                                           CommentCase{"TIPO: ETH ; note", false},
                                           CommentCase{"x;", false},
                                           CommentCase{"\t; tab is not a blank", false}));

struct KeyCase {
    std::string line;
    std::string key;
    bool found;
};

class KeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyTest, KeyIsTheFirstWordFollowedByAColon) {
    EXPECT_EQ(hasKey(GetParam().line, GetParam().key), GetParam().found)
        << GetParam().key << " in '" << GetParam().line << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KeyTest,
    ::testing::Values(KeyCase{"TIPO: ETH", "TIPO", true}, KeyCase{"tipo:eth", "TIPO", true},
                      KeyCase{"TiPo:", "TIPO", true}, KeyCase{"   PORT: 80", "PORT", true},
                      KeyCase{"TIPO ETH", "TIPO", false}, KeyCase{"TIPO : ETH", "TIPO", false},
                      KeyCase{"XTIPO: ETH", "TIPO", false}, KeyCase{"TIP", "TIPO", false},
                      KeyCase{"TIPO", "TIPO", false},
                      KeyCase{"INPF: /srv/PORT:9/SR_DATI.TXT", "PORT", false},
                      KeyCase{"INPF: /srv/PORT:9/SR_DATI.TXT", "INPF", true},
                      KeyCase{"IPAD: 1.2.3.4", "TIPO", false}));

struct ValueCase {
    std::string line;
    std::string value;
};

class SettingValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(SettingValueTest, TextBetweenFirstColonAndNextTrimmed) {
    EXPECT_EQ(settingValue(GetParam().line), GetParam().value) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SettingValueTest,
    ::testing::Values(ValueCase{"PORT: 8080", "8080"}, ValueCase{"PORT:8080", "8080"},
                      ValueCase{"PORT:   8080   ", "8080"}, ValueCase{"PORT: 8080:9090", "8080"},
                      ValueCase{"PORT:", ""}, ValueCase{"PORT:   ", ""},
                      ValueCase{"PORT: :9090", ""}, ValueCase{"PARI: \"E\"", "\"E\""}));

} // namespace
} // namespace kvl::config
