#include "controls/TextBox.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

// The limit and the enabled state restrict typing only; the binding test
// shows the limit on a view's typing and the program's longer writes.
TEST(TextBox, TextEndsAtTheFirstNulHoweverItArrivesAndADisabledBoxRefusesTyping) {
    TextBox field("txtCassa", "Frame1", {}, std::string("12\0 4", 5), 8);
    EXPECT_EQ("12", field.text());
    field.setText(std::string("\xe0\0x", 3));
    EXPECT_EQ("\xe0", field.text());
    EXPECT_TRUE(field.typeText(std::string("abcdefgh\0xyz", 12))); // the NUL ends it first
    EXPECT_EQ("abcdefgh", field.text());
    EXPECT_TRUE(field.typeText(std::string(9, '\0')));
    EXPECT_EQ("", field.text());
    field.setEnabled(false);
    EXPECT_FALSE(field.typeText("1"));
    EXPECT_EQ("", field.text());
}

} // namespace
} // namespace kvl
