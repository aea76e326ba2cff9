#pragma once

#include "console/form/FrmMain.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"
#include "terminal/TerminalContext.h"

namespace kvl::test {

// What the terminal procedures work on, made of fakes: the console form, the
// records, the communication parameters, the scripted library (behind the
// guard the program puts it) and the fake platform's message boxes.
struct TerminalParts {
    TerminalParts() = default;
    TerminalParts(const TerminalParts&) = delete;
    TerminalParts& operator=(const TerminalParts&) = delete;

    FakePlatform fake;
    FakeTerminalLibrary library;
    GuardedTerminalLibrary guarded{library};
    FrmMain frmMain;
    TerminalRecords records;
    CommunicationParameters params;
    TerminalContext terminal{frmMain, records, params, guarded, fake.messages};
};

} // namespace kvl::test
