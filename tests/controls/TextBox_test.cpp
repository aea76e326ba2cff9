#include "controls/TextBox.h"

#include <gtest/gtest.h>

#include <string>

namespace kvl {
namespace {

TextBox box(std::string text = {}, std::size_t limit = 0) {
    return TextBox("txtProva", "Frame1", {120, 240, 1095, 285}, std::move(text), limit);
}

struct NulCase {
    std::string written;
    std::string shown;
};

class TextUpToNul : public testing::TestWithParam<NulCase> {};

TEST_P(TextUpToNul, ProgramWriteKeepsTextBeforeTheFirstNul) {
    TextBox field = box();
    field.setText(GetParam().written);
    EXPECT_EQ(field.text(), GetParam().shown);
}

TEST_P(TextUpToNul, InitialTextAndTypingAlsoEndAtTheFirstNul) {
    EXPECT_EQ(box(GetParam().written).text(), GetParam().shown);
    TextBox field = box();
    EXPECT_TRUE(field.typeText(GetParam().written));
    EXPECT_EQ(field.text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextUpToNul,
                         testing::Values(NulCase{"", ""}, NulCase{"abc", "abc"},
                                         NulCase{std::string(9, '\0'), ""},
                                         NulCase{std::string("12\0 4", 5), "12"},
                                         NulCase{"T1234567 ", "T1234567 "},
                                         NulCase{std::string("\xe0\0", 2), "\xe0"}));

TEST(TextBox, LimitRestrictsTypingOnly) {
    TextBox field = box("99999999", 8);
    EXPECT_TRUE(field.typeText("12345678"));
    EXPECT_EQ(field.text(), "12345678");
    EXPECT_FALSE(field.typeText("123456789"));
    EXPECT_EQ(field.text(), "12345678");

    field.setText("1234567890123");
    EXPECT_EQ(field.text(), "1234567890123");
    EXPECT_EQ(field.limit(), 8u);
}

TEST(TextBox, NulEndsTypedTextBeforeTheLimitIsChecked) {
    TextBox field = box("", 3);
    EXPECT_TRUE(field.typeText(std::string("abc\0def", 7)));
    EXPECT_EQ(field.text(), "abc");
}

TEST(TextBox, NoLimitAcceptsLongTyping) {
    TextBox field = box("", 0);
    const std::string longText(5000, 'x');
    EXPECT_TRUE(field.typeText(longText));
    EXPECT_EQ(field.text(), longText);
}

TEST(TextBox, DisabledRefusesTypingButNotProgramWrites) {
    TextBox field = box("1", 10);
    field.setEnabled(false);
    EXPECT_FALSE(field.typeText("500"));
    EXPECT_EQ(field.text(), "1");
    field.setText("500");
    EXPECT_EQ(field.text(), "500");
    field.setEnabled(true);
    EXPECT_TRUE(field.typeText("7"));
    EXPECT_EQ(field.text(), "7");
}

TEST(TextBox, ViewsHearEveryAcceptedChangeOnly) {
    TextBox field = box("", 2);
    int changes = 0;
    int otherListener = 0; // a view and the program may both follow a control
    field.onChange([&] { ++changes; });
    field.onChange([&] { ++otherListener; });
    field.setText("a");
    EXPECT_TRUE(field.typeText("ab"));
    EXPECT_FALSE(field.typeText("abc"));
    EXPECT_EQ(changes, 2);
    field.setVisible(false);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(otherListener, 3);
}

} // namespace
} // namespace kvl
