#pragma once

#include "platform/Platform.h"

#include <memory>

namespace kvl {
class FrmAbout;
class FrmMain;
class FrmWpos1Type;
class ModalForms;
} // namespace kvl

namespace kvl::win32 {

// Whether the program shows its windows: KVL_HEADLESS is not "1" and the
// system lets the program make windows (under wine without a display it
// cannot).
bool displayWanted();

// The program's face on Windows, as QtDesktop is on Linux: MessageBoxA, the
// tray icon through Shell_NotifyIconA, the modal forms, and a window for each
// of the three forms. The event loop is the platform's: it already runs every
// message of the thread. Made before the program's parts, gone after them.
class Win32Desktop {
public:
    Win32Desktop(int& argc, char** argv);
    ~Win32Desktop();
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    // The base platform with the desktop's services in place of the headless
    // ones.
    Platform platform(const Platform& base);
    ModalForms& modal();

    // The windows of the forms, for as long as this object lives: it must go
    // before the forms do.
    class Windows {
    public:
        explicit Windows(Win32Desktop& desktop) : desktop_(desktop) {}
        ~Windows();
        Windows(const Windows&) = delete;
        Windows& operator=(const Windows&) = delete;

    private:
        Win32Desktop& desktop_;
    };
    // Builds a window for each form, bound to it both ways.
    [[nodiscard]] std::unique_ptr<Windows> showForms(FrmMain& frmMain, FrmWpos1Type& frmWpos1Type,
                                                     FrmAbout& frmAbout);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace kvl::win32
