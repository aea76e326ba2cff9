#pragma once

#include "controls/Form.h"
#include "gui/FormStyle.h"
#include "gui/win32/ControlViews.h"
#include "gui/win32/MenuBar.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace kvl {
class EventLoop;
}

namespace kvl::win32 {

// A form as a top-level window: its caption, client size, visibility and
// window state follow the model; every control is a child window built from
// its model at its position (15 twips to a pixel; inside a frame, at the
// frame's top-left plus its own position); its menu entries make the menu
// bar. The close box is the form's close request, and minimising is its window
// state: the model's procedures decide what follows. While any of its buttons
// is disabled (an operation runs) the pointer is the hourglass.
class FormWindow {
public:
    // owner: the window that owns this one (a modal box's), or nullptr.
    FormWindow(Form& form, const FormStyle& style, EventLoop& events, HICON icon,
               HWND owner = nullptr);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND window() const { return window_; }
    Form& form() const { return form_; }
    // The child window of a control, nullptr when it has none.
    HWND controlWindow(const std::string& name) const;
    MenuBar* menuBar() const { return menus_.get(); }

    // Messages the window's own procedure does not take: the tray icon's
    // callback arrives as a mouse move. Return true when handled.
    void onMessage(std::function<bool(UINT, WPARAM, LPARAM)> handler) {
        extraMessages_ = std::move(handler);
    }

    // Pixels of a length in twips.
    static int pixels(int twips) { return twips / TwipsPerPixel; }
    static constexpr int TwipsPerPixel = 15;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void buildControls(const FormStyle& style, HICON icon);
    void paintLines(HDC dc) const;
    void followModel(Property property);
    bool busy() const;

    void centreOnOwner();

    Form& form_;
    EventLoop& events_;
    HWND owner_;
    HWND window_ = nullptr;
    std::vector<FormStyle::Line> lines_;
    HFONT font_ = nullptr;
    std::vector<HFONT> ownFonts_;
    std::vector<std::unique_ptr<ControlView>> views_;
    std::map<int, ControlView*> byId_;
    std::unique_ptr<MenuBar> menus_;
    ControlView* defaultButton_ = nullptr;
    ControlView* cancelButton_ = nullptr;
    std::vector<Subscription> buttonSubscriptions_;
    Subscription formSubscription_;
    std::function<bool(UINT, WPARAM, LPARAM)> extraMessages_;
};

} // namespace kvl::win32
