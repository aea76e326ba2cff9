#pragma once

#include "config/CommunicationParameters.h"
#include "console/FrmMain.h"
#include "platform/Platform.h"
#include "shell/FrmAbout.h"
#include "shell/FrmWpos1Type.h"
#include "terminal/Records.h"
#include "terminal/TerminalLibrary.h"

#include <memory>
#include <string>

namespace kvl {

struct ResidentState;

// Everything that exists once per process and is shared between the layers:
// the three forms, the terminal records, the communication parameters and the
// process-wide texts and flags, together with the platform services and the
// terminal library they are used with. main() makes the one instance; tests
// make a fresh one per case with fake services.
struct Program {
    Program(Platform& platform, TerminalLibrary& library) : platform(platform), library(library) {}
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Platform& platform;
    TerminalLibrary& library;

    FrmMain frmMain;
    FrmWpos1Type frmWpos1Type;
    FrmAbout frmAbout;

    TerminalRecords records;
    CommunicationParameters params;

    std::string ConfigFilePath;
    std::string DataFolder;
    bool ConnectionConfirmed = false;
    // The dispatcher's copy of EcrIdRequired, read by the command handlers.
    bool handlersEcrIdRequired = false;
    // What the resident service keeps between events (polling timer binding,
    // command files already seen): src/app/ResidentState.h.
    std::shared_ptr<ResidentState> resident;
};

} // namespace kvl
