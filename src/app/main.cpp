#include "app/Program.h"
#include "app/StartupForm.h"
#include "controls/HeadlessModalForms.h"
#include "platform/RealPlatform.h"
#include "terminal/DynamicTerminalLibrary.h"

#include <csignal>
#include <exception>
#include <iostream>

// The console form's load starts everything; the event loop then runs until
// a procedure ends the program with EventLoop::quit, at once when the load
// already did. The status is the one given to quit.
int main(int argc, char** argv) {
    // A closed standard error or output (a service manager or log pipe that
    // went away) must not end the program in the middle of a payment.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        const auto real = kvl::makeRealPlatform(argc, argv);
        kvl::Platform& platform = real->platform();
        kvl::DynamicTerminalLibrary library(platform.libraries, platform.files,
                                            platform.program.programFolder());
        kvl::HeadlessModalForms modal(std::cout);
        kvl::Program program(platform, library, modal);
        kvl::runHandler(platform.events, [&] { kvl::frmMain_Load(program); });
        return platform.events.run();
    } catch (const std::exception& failure) {
        // The platform's services could not be made.
        std::cerr << kvl::ProgramTitle << ": " << failure.what() << '\n';
        return 1;
    }
}
