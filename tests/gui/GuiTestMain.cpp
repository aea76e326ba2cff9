// One QApplication for every view test, offscreen unless told otherwise.

#include "gui/qt/FormWindow.h"

#include <QApplication>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    kvl::qt::useFormFont();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
