#include "controls/ComboBox.h"

#include "platform/RunTimeError.h"

#include <gtest/gtest.h>

#include <vector>

namespace kvl {
namespace {

TEST(ComboBox, IndexMinusOneSelectsNothingAndOutOfRangeIsRefused) {
    ComboBox list("cmbParity", "Frame4", {}, {"None", "Odd", "Even"});
    EXPECT_EQ(-1, list.listIndex());
    list.setListIndex(2);
    std::vector<Property> told;
    const Subscription view = list.onChange([&](Property p) { told.push_back(p); });
    for (int index : {3, 100, -2}) {
        try {
            list.setListIndex(index);
            ADD_FAILURE() << "index " << index << " accepted";
        } catch (const RunTimeError& error) {
            EXPECT_EQ(380, error.number());
        }
    }
    EXPECT_EQ("Even", list.text());
    EXPECT_TRUE(told.empty());
    // New items clear the selection.
    list.setItems({"7", "8"});
    EXPECT_EQ(-1, list.listIndex());
    EXPECT_EQ("", list.text());
    EXPECT_EQ(told, (std::vector<Property>{Property::ListIndex, Property::Items}));
}

} // namespace
} // namespace kvl
