#include "controls/ComboBox.h"

#include "platform/RunTimeError.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

ComboBox parity() {
    return ComboBox("cmbParity", "Frame4", {}, {"None", "Odd", "Even"});
}

TEST(ComboBox, StartsWithNothingSelected) {
    ComboBox list = parity();
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(list.text(), "");
}

struct SelectCase {
    int index;
    std::string text;
};

class Selection : public testing::TestWithParam<SelectCase> {};

TEST_P(Selection, TextIsTheSelectedItem) {
    ComboBox list = parity();
    list.setListIndex(1);
    list.setListIndex(GetParam().index);
    EXPECT_EQ(list.listIndex(), GetParam().index);
    EXPECT_EQ(list.text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, Selection,
                         testing::Values(SelectCase{0, "None"}, SelectCase{1, "Odd"},
                                         SelectCase{2, "Even"}, SelectCase{-1, ""}));

class OutOfRange : public testing::TestWithParam<int> {};

TEST_P(OutOfRange, IsInvalidPropertyValueAndChangesNothing) {
    ComboBox list = parity();
    list.setListIndex(2);
    int changes = 0;
    list.onChange([&] { ++changes; });
    try {
        list.setListIndex(GetParam());
        FAIL() << "index " << GetParam() << " accepted";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), 380);
    }
    EXPECT_EQ(list.listIndex(), 2);
    EXPECT_EQ(list.text(), "Even");
    EXPECT_EQ(changes, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, OutOfRange, testing::Values(3, 4, 100, -2, -1000));

TEST(ComboBox, EmptyListAcceptsOnlyNoSelection) {
    ComboBox list("cmbVuoto", {}, {}, {});
    list.setListIndex(-1);
    EXPECT_THROW(list.setListIndex(0), RunTimeError);
    EXPECT_EQ(list.listIndex(), -1);
}

} // namespace
} // namespace kvl
