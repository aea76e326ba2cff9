#include "platform/HeadlessMessageBoxes.h"
#include "platform/HeadlessTrayIcon.h"
#include "platform/RealPlatform.h"
#include "platform/posix/DlLibraryLoader.h"
#include "platform/posix/FolderInstanceGuard.h"
#include "platform/posix/LinuxSystemInfo.h"
#include "platform/posix/PosixEventLoop.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/ProcessProgramInfo.h"
#include "platform/posix/XdgDocumentOpener.h"

#include <iostream>

namespace kvl {

namespace {

class PosixPlatform : public RealPlatform {
public:
    PosixPlatform(int argc, const char* const* argv)
        : messages_(std::cerr), program_(argc, argv), instance_(program_.programFolder()) {}
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

    Platform& platform() override { return services_; }

private:
    PosixFileSystem files_;
    HeadlessMessageBoxes messages_;
    PosixEventLoop events_;
    SystemClock clock_;
    ProcessProgramInfo program_;
    FolderInstanceGuard instance_;
    LinuxSystemInfo system_;
    XdgDocumentOpener documents_;
    DlLibraryLoader libraries_;
    HeadlessTrayIcon tray_;
    Platform services_{files_,    messages_, events_,    clock_,     program_,
                       instance_, system_,   documents_, libraries_, tray_};
};

} // namespace

std::unique_ptr<RealPlatform> makeRealPlatform(int argc, const char* const* argv) {
    return std::make_unique<PosixPlatform>(argc, argv);
}

} // namespace kvl
