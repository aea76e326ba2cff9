#include "app/Program.h"
#include "app/StartupForm.h"
#include "controls/HeadlessModalForms.h"
#include "platform/RealPlatform.h"
#include "shell/TrayBehaviour.h"
#include "terminal/DynamicTerminalLibrary.h"

// The desktop of the system the program is built for.
#if KVL_GUI_WIN32
#include "gui/win32/Win32Desktop.h"
namespace toolkit = kvl::win32;
using Desktop = kvl::win32::Win32Desktop;
#elif KVL_GUI
#include "gui/qt/QtDesktop.h"
namespace toolkit = kvl::qt;
using Desktop = kvl::qt::QtDesktop;
#endif

#include <csignal>
#include <exception>
#include <iostream>
#include <memory>

// The console form's load starts everything; the event loop then runs until
// a procedure ends the program with EventLoop::quit, at once when the load
// already did. The status is the one given to quit. With a display the forms
// have windows and the loop is the desktop's; without one, or with
// KVL_HEADLESS=1, everything runs headless.
int main(int argc, char** argv) {
    // A closed standard error or output (a service manager or log pipe that
    // went away) must not end the program in the middle of a payment.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    try {
        const auto real = kvl::makeRealPlatform(argc, argv);
        kvl::HeadlessModalForms headlessModal(std::cout);
#if KVL_GUI
        std::unique_ptr<Desktop> desktop;
        if (toolkit::displayWanted())
            desktop = std::make_unique<Desktop>(argc, argv);
        kvl::Platform platform = desktop ? desktop->platform(real->platform()) : real->platform();
        kvl::ModalForms& modal = desktop ? desktop->modal() : headlessModal;
#else
        kvl::Platform& platform = real->platform();
        kvl::ModalForms& modal = headlessModal;
#endif
        kvl::DynamicTerminalLibrary library(platform.libraries, platform.files,
                                            platform.program.programFolder());
        kvl::Program program(platform, library, modal);
#if KVL_GUI
        // The windows go before the forms they show.
        const auto windows =
            desktop ? desktop->showForms(program.frmMain, program.frmWpos1Type, program.frmAbout)
                    : nullptr;
#endif
        kvl::runHandler(platform.events, [&] { kvl::frmMain_Load(program); });
#if KVL_GUI
        // Without a notification area the resident window's menus are the
        // only way to the About box and to the end of the program.
        if (desktop && !platform.events.quitRequested() && !platform.tray.available())
            kvl::showResidentWindow(program.shell);
#endif
        return platform.events.run();
    } catch (const std::exception& failure) {
        // The platform's services could not be made.
        std::cerr << kvl::ProgramTitle << ": " << failure.what() << '\n';
        return 1;
    }
}
