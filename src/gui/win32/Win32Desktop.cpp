#include "gui/win32/Win32Desktop.h"

#include "console/form/FrmMain.h"
#include "gui/FormStyle.h"
#include "gui/win32/FormWindow.h"
#include "gui/win32/NotifyIcon.h"
#include "gui/win32/Win32MessageBoxes.h"
#include "gui/win32/Win32ModalForms.h"
#include "shell/forms/FrmAbout.h"
#include "shell/forms/FrmWpos1Type.h"

#include <cstdlib>
#include <string>
#include <windows.h>

#include <commctrl.h>

namespace kvl::win32 {

namespace {

// The program icon, resource 1 of the executable.
constexpr int ProgramIconResource = 1;

// The program icon, resource 1 of the executable, at a size in pixels (0:
// the system's size for icons).
HICON programIcon(int size = 0) {
    HICON icon = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ProgramIconResource), IMAGE_ICON,
                     size, size, (size ? 0 : LR_DEFAULTSIZE) | LR_SHARED));
    return icon ? icon : ::LoadIcon(nullptr, IDI_APPLICATION);
}

// The icon's own size, as the About box's picture shows it.
constexpr int PictureIconSize = 48;

} // namespace

bool displayWanted() {
    const char* headless = std::getenv("KVL_HEADLESS");
    if (headless && std::string(headless) == "1")
        return false;
    // A window that cannot be made tells that there is no desktop to show it.
    HWND probe = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    if (!probe)
        return false;
    ::DestroyWindow(probe);
    return true;
}

struct Win32Desktop::Parts {
    explicit Parts(EventLoop& loop) : events(loop) {}

    EventLoop& events;
    HICON icon = programIcon();
    HICON pictureIcon = programIcon(PictureIconSize);
    Win32MessageBoxes messages;
    NotifyIcon tray{icon};
    std::unique_ptr<FormWindow> resident;
    std::unique_ptr<FormWindow> console;
    std::unique_ptr<FormWindow> about;
    Win32ModalForms modal{
        events, [this](Form& form) -> FormWindow* {
            for (FormWindow* window : {resident.get(), console.get(), about.get()})
                if (window && &window->form() == &form)
                    return window;
            return nullptr;
        }};
};

Win32Desktop::Win32Desktop(int&, char**) {
    // The manifest asks for the common controls' own look, which they give
    // once initialised.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
}

Win32Desktop::~Win32Desktop() = default;

// The desktop's parts are made with the event loop of the first platform
// given; the views run on it.
Platform Win32Desktop::platform(const Platform& base) {
    if (!parts_)
        parts_ = std::make_unique<Parts>(base.events);
    return Platform{base.files,    parts_->messages, base.events,    base.clock,     base.program,
                    base.instance, base.system,      base.documents, base.libraries, parts_->tray};
}

ModalForms& Win32Desktop::modal() {
    return parts_->modal;
}

std::unique_ptr<Win32Desktop::Windows>
Win32Desktop::showForms(FrmMain& frmMain, FrmWpos1Type& frmWpos1Type, FrmAbout& frmAbout) {
    Parts& parts = *parts_;
    EventLoop& events = parts.events;
    parts.resident =
        std::make_unique<FormWindow>(frmWpos1Type, residentStyle(), events, parts.icon);
    parts.console =
        std::make_unique<FormWindow>(frmMain, consoleStyle(frmMain), events, parts.icon);
    // The About box belongs to the resident window.
    parts.about = std::make_unique<FormWindow>(frmAbout, aboutStyle(), events, parts.pictureIcon,
                                               parts.resident->window());
    parts.tray.setWindow(parts.resident->window());
    parts.resident->onMessage([&parts, &events](UINT message, WPARAM wParam, LPARAM lParam) {
        bool handled = false;
        runHandler(events, [&] { handled = parts.tray.notify(message, wParam, lParam); });
        return handled;
    });
    return std::make_unique<Windows>(*this);
}

Win32Desktop::Windows::~Windows() {
    Parts& parts = *desktop_.parts_;
    // The icon goes with the window that receives its notifications.
    parts.tray.release();
    parts.about.reset();
    parts.console.reset();
    parts.resident.reset();
}

} // namespace kvl::win32
