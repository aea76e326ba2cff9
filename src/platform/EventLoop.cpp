#include "platform/EventLoop.h"

#include "platform/MessageBoxes.h"

#include <exception>
#include <iostream>

namespace kvl {

namespace {
constexpr int UnexpectedFailure = 1;
}

void runHandler(EventLoop& loop, const std::function<void()>& handler) {
    try {
        handler();
        return;
    } catch (const std::exception& failure) {
        std::cerr << ProgramTitle << ": " << failure.what() << std::endl;
    } catch (...) {
        std::cerr << ProgramTitle << ": unexpected failure" << std::endl;
    }
    loop.quit(UnexpectedFailure);
}

} // namespace kvl
