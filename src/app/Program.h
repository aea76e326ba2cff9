#pragma once

#include "app/CommandFileState.h"
#include "app/CommandJournal.h"
#include "commands/CommandContext.h"
#include "config/ConfigContext.h"
#include "console/ConsoleContext.h"
#include "console/form/FrmMain.h"
#include "controls/ModalForms.h"
#include "controls/TimerBinding.h"
#include "platform/Platform.h"
#include "shell/ShellContext.h"
#include "shell/forms/FrmAbout.h"
#include "shell/forms/FrmWpos1Type.h"
#include "terminal/CommunicationParameters.h"
#include "terminal/GuardedTerminalLibrary.h"
#include "terminal/Records.h"
#include "terminal/TerminalContext.h"
#include "terminal/TerminalLibrary.h"

#include <memory>
#include <string>

namespace kvl {

// Everything that exists once per process: the three forms, the terminal
// records, the communication parameters and the process-wide texts and flags,
// together with the platform services, the terminal library and the modal
// forms' host they are used with, and the parts each layer works on. main() makes the one instance;
// tests make a fresh one per case with fake services. Making it attaches the
// forms' event procedures.
struct Program {
    Program(Platform& platform, TerminalLibrary& library, ModalForms& modal);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Platform& platform;
    // The library given, one exchange at a time.
    GuardedTerminalLibrary library;
    ModalForms& modal;

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
    // The parameter file has been read: only then is it saved.
    bool parametersLoaded = false;

    TerminalContext terminal{frmMain, records, params, library, platform.messages};
    ConfigContext config{platform, frmMain,    frmWpos1Type,    records,
                         params,   DataFolder, parametersLoaded};
    CommandContext commands{terminal, platform, frmWpos1Type, handlersEcrIdRequired};
    ConsoleContext console{terminal, platform.events};
    ShellContext shell{platform, modal, frmWpos1Type, frmMain, frmAbout, config};

    // Why the terminal library could not be loaded, empty when it was: the
    // resident modes end, the one-shot run refuses every line with it.
    std::string libraryFailure;

    // What the resident service keeps between ticks: the command file looked
    // at, the command journal once loaded, and Timer1 running on the event
    // loop once the resident start-up binds it.
    CommandFileState commandFile;
    std::unique_ptr<CommandJournal> journal;
    std::unique_ptr<TimerBinding> timer1;
};

// The command journal in the program folder, loaded on first use.
CommandJournal& commandJournal(Program& program);

} // namespace kvl
