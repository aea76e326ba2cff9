#include "controls/TextBox.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

TEST(TextBox, TextEndsAtTheFirstNulHoweverItArrives) {
    TextBox field("txtProva", "Frame1", {}, std::string("12\0 4", 5));
    EXPECT_EQ("12", field.text());
    field.setText(std::string("\xe0\0x", 3));
    EXPECT_EQ("\xe0", field.text());
    EXPECT_TRUE(field.typeText(std::string(9, '\0')));
    EXPECT_EQ("", field.text());
}

// A view and the polling may both follow one control: each listener hears.
TEST(TextBox, LimitRestrictsTypingOnlyAndEveryListenerHearsEachChange) {
    TextBox field("txtCassa", "Frame1", {}, "99999999", 8);
    int first = 0, second = 0;
    const Subscription a = field.onChange([&](Property p) { first += p == Property::Text; });
    const Subscription b = field.onChange([&](Property p) { second += p == Property::Text; });
    EXPECT_TRUE(field.typeText("12345678"));
    EXPECT_FALSE(field.typeText("123456789"));
    EXPECT_EQ("12345678", field.text());
    EXPECT_TRUE(field.typeText(std::string("abcdefgh\0xyz", 12))); // the NUL ends it first
    EXPECT_EQ("abcdefgh", field.text());
    EXPECT_TRUE(field.typeText("abcdefgh")); // no change, nothing told
    field.setText("1234567890123");
    EXPECT_EQ("1234567890123", field.text());
    field.setEnabled(false);
    EXPECT_FALSE(field.typeText("1"));
    EXPECT_EQ(3, first);
    EXPECT_EQ(3, second);
}

} // namespace
} // namespace kvl
