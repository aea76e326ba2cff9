#include "platform/HeadlessMessageBoxes.h"
#include "platform/HeadlessTrayIcon.h"
#include "platform/RealPlatform.h"
#include "platform/win32/MutexInstanceGuard.h"
#include "platform/win32/ShellDocumentOpener.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32LibraryLoader.h"
#include "platform/win32/Win32ProgramInfo.h"
#include "platform/win32/Win32SystemInfo.h"

#include <iostream>

namespace kvl {

namespace {

class Win32Platform : public RealPlatform {
public:
    Win32Platform() : messages_(std::cerr), instance_(program_.programFolder()) {}
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() override { return services_; }

private:
    Win32FileSystem files_;
    HeadlessMessageBoxes messages_;
    Win32EventLoop events_;
    SystemClock clock_;
    Win32ProgramInfo program_;
    MutexInstanceGuard instance_;
    Win32SystemInfo system_;
    ShellDocumentOpener documents_;
    Win32LibraryLoader libraries_;
    HeadlessTrayIcon tray_;
    Platform services_{files_,    messages_, events_,    clock_,     program_,
                       instance_, system_,   documents_, libraries_, tray_};
};

} // namespace

// The command line comes from the system as one text (GetCommandLineA), as
// written, so the arguments main() was given are not used.
std::unique_ptr<RealPlatform> makeRealPlatform(int, const char* const*) {
    return std::make_unique<Win32Platform>();
}

} // namespace kvl
