#pragma once

#include "platform/DlLibraryLoader.h"
#include "platform/FolderInstanceGuard.h"
#include "platform/HeadlessMessageBoxes.h"
#include "platform/HeadlessTrayIcon.h"
#include "platform/LinuxSystemInfo.h"
#include "platform/Platform.h"
#include "platform/PosixEventLoop.h"
#include "platform/PosixFileSystem.h"
#include "platform/ProcessProgramInfo.h"
#include "platform/XdgDocumentOpener.h"

namespace kvl {

// The operating system's services for the running program, one of each,
// living as long as the process.
class RealPlatform {
public:
    RealPlatform(int argc, const char* const* argv);
    RealPlatform(const RealPlatform&) = delete;
    RealPlatform& operator=(const RealPlatform&) = delete;

    Platform& platform() { return services_; }

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
    Platform services_;
};

} // namespace kvl
