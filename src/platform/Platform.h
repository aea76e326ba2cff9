#pragma once

#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramInfo.h"
#include "platform/SharedLibrary.h"

namespace kvl {

class TrayIcon;

// The operating-system services the program uses, in one bundle so that the
// program gets the real ones and tests get fakes.
struct Platform {
    FileSystem& files;
    MessageBoxes& messages;
    EventLoop& events;
    Clock& clock;
    ProgramInfo& program;
    InstanceGuard& instance;
    SystemInfo& system;
    DocumentOpener& documents;
    LibraryLoader& libraries;
    TrayIcon& tray;
};

} // namespace kvl
