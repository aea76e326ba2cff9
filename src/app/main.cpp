#include "Program.h"
#include "app/StartupForm.h"
#include "platform/ProgramEnd.h"
#include "platform/RealPlatform.h"
#include "terminal/DynamicTerminalLibrary.h"

#include <csignal>
#include <exception>
#include <iostream>

// The console form's load starts everything; the resident modes then idle in
// the event loop until the program ends through the console's unload.
int main(int argc, char** argv) {
    // A closed standard error or output (a service manager or log pipe that
    // went away) must not end the program in the middle of a payment.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        kvl::RealPlatform real(argc, argv);
        kvl::Platform& platform = real.platform();
        kvl::DynamicTerminalLibrary library(platform.libraries, platform.program.programFolder());
        kvl::Program program(platform, library);
        kvl::frmMain_Load(program);
        return platform.events.run();
    } catch (const kvl::ProgramEnd& end) {
        return end.status;
    } catch (const std::exception& failure) {
        std::cerr << kvl::ProgramTitle << ": " << failure.what() << '\n';
        return 1;
    }
}
