#include "app/Program.h"
#include "app/StartupForm.h"
#include "controls/HeadlessModalForms.h"
#include "platform/RealPlatform.h"
#include "terminal/DynamicTerminalLibrary.h"

#if KVL_GUI_WIN32
#include "gui/win32/Win32Desktop.h"
namespace desktop = kvl::win32;
#endif

#include <csignal>
#include <exception>
#include <iostream>
#include <memory>

// The console form's load starts everything; the event loop then runs until
// a procedure ends the program with EventLoop::quit, at once when the load
// already did. The status is the one given to quit. With a desktop the forms
// have windows; without one, or with KVL_HEADLESS=1, everything runs
// headless.
int main(int argc, char** argv) {
    // A closed standard error or output (a service manager or log pipe that
    // went away) must not end the program in the middle of a payment.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    try {
        const auto real = kvl::makeRealPlatform(argc, argv);
        kvl::HeadlessModalForms headlessModal(std::cout);
#if KVL_GUI_WIN32
        std::unique_ptr<desktop::Win32Desktop> face;
        if (desktop::displayWanted())
            face = std::make_unique<desktop::Win32Desktop>(argc, argv);
        kvl::Platform platform = face ? face->platform(real->platform()) : real->platform();
        kvl::ModalForms& modal = face ? face->modal() : headlessModal;
#else
        kvl::Platform& platform = real->platform();
        kvl::ModalForms& modal = headlessModal;
#endif
        kvl::DynamicTerminalLibrary library(platform.libraries, platform.files,
                                            platform.program.programFolder());
        kvl::Program program(platform, library, modal);
#if KVL_GUI_WIN32
        if (face)
            face->showForms(program.frmMain, program.frmWpos1Type, program.frmAbout);
#endif
        kvl::runHandler(platform.events, [&] { kvl::frmMain_Load(program); });
#if KVL_GUI_WIN32
        if (face)
            face->afterStartup();
#endif
        return platform.events.run();
    } catch (const std::exception& failure) {
        // The platform's services could not be made.
        std::cerr << kvl::ProgramTitle << ": " << failure.what() << '\n';
        return 1;
    }
}
