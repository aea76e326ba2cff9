#include "controls/ComboBox.h"

#include "platform/RunTimeError.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

TEST(ComboBox, IndexMinusOneSelectsNothingAndOutOfRangeIsRefused) {
    ComboBox list("cmbParity", "Frame4", {}, {"None", "Odd", "Even"});
    EXPECT_EQ(-1, list.listIndex());
    list.setListIndex(2);
    int changes = 0;
    list.onChange([&] { ++changes; });
    for (int index : {3, 100, -2}) {
        try {
            list.setListIndex(index);
            ADD_FAILURE() << "index " << index << " accepted";
        } catch (const RunTimeError& error) {
            EXPECT_EQ(380, error.number());
        }
    }
    EXPECT_EQ("Even", list.text());
    EXPECT_EQ(0, changes);
    list.setListIndex(-1);
    EXPECT_EQ(-1, list.listIndex());
    EXPECT_EQ("", list.text());
}

} // namespace
} // namespace kvl
