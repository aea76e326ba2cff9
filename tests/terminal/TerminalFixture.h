#pragma once

#include "Program.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

namespace kvl::test {

// A fresh program per test, on fake platform services and the scripted fake
// terminal library.
class TerminalFixture : public ::testing::Test {
protected:
    FrmMain& form() { return program.frmMain; }

    FakePlatform platform;
    FakeTerminalLibrary library;
    Program program{platform.platform(), library};
};

} // namespace kvl::test
