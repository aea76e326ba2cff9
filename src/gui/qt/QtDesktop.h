#pragma once

#include "platform/Platform.h"

#include <memory>

namespace kvl {
class FrmAbout;
class FrmMain;
class FrmWpos1Type;
class ModalForms;
} // namespace kvl

namespace kvl::qt {

// Whether the program shows its windows: a display is there (WAYLAND_DISPLAY,
// or a DISPLAY that can be opened) and KVL_HEADLESS is not "1". A DISPLAY
// that cannot be opened is said on standard error.
bool displayWanted();

// The program's face on a desktop: the Qt application, its event loop,
// message boxes, tray icon, document opener and modal forms, and the windows
// of the three forms. Made before the program's parts, gone after them.
class QtDesktop {
public:
    // argc and argv must outlive the desktop.
    QtDesktop(int& argc, char** argv);
    ~QtDesktop();
    QtDesktop(const QtDesktop&) = delete;
    QtDesktop& operator=(const QtDesktop&) = delete;

    // The base platform with the desktop's services in place of the headless ones.
    Platform platform(const Platform& base);
    ModalForms& modal();

    // The windows of the forms, for as long as this object lives: it must go
    // before the forms do.
    class Windows {
    public:
        explicit Windows(QtDesktop& desktop) : desktop_(desktop) {}
        ~Windows();
        Windows(const Windows&) = delete;
        Windows& operator=(const Windows&) = delete;

    private:
        QtDesktop& desktop_;
    };
    // Builds a window for each form, bound to it both ways.
    [[nodiscard]] std::unique_ptr<Windows> showForms(FrmMain& frmMain, FrmWpos1Type& frmWpos1Type,
                                                     FrmAbout& frmAbout);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace kvl::qt
