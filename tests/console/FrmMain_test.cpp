#include "console/form/FrmMain.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

TEST(FrmMain, KeyDefaultsOfTheConsole) {
    FrmMain form;
    EXPECT_EQ("99999999", form.txtCassa.text());
    EXPECT_EQ("COM10", form.cmbCOM.items().at(9));
    EXPECT_FALSE(form.txtTerminale.visible());
}

} // namespace
} // namespace kvl
