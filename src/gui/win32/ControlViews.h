#pragma once

#include "controls/Control.h"
#include "controls/Notifier.h"

#include <memory>
#include <string>
#include <windows.h>

namespace kvl {
class EventLoop;
}

namespace kvl::win32 {

// One child window kept in step with one control model both ways: the
// model's changes show at once; the operator's edits, selections, checks and
// clicks go to the model with the view's own subscription as their origin,
// so they do not echo back. The window is a child of the form's window and
// goes with the view.
class ControlView {
public:
    virtual ~ControlView();
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    HWND window() const { return window_; }
    Control& control() const { return control_; }

    // Shows what the model holds now.
    void refreshAll();
    // A notification the control sent its parent (WM_COMMAND's code).
    virtual void command(int) {}
    // WM_DRAWITEM for an owner-drawn control.
    virtual void draw(const DRAWITEMSTRUCT&) {}

protected:
    ControlView(Control& control, HWND window);
    virtual void refresh(Property property);
    const Subscription& origin() const { return subscription_; }

private:
    Control& control_;
    HWND window_;
    Subscription subscription_;
};

// Every window of a control or form carries the model's name as a global
// atom in this window property, so that other programs (the desktop tests)
// find a control by its name.
constexpr const char* ControlNameProperty = "KvlControlName";
void nameWindow(HWND window, const std::string& name);
void forgetWindowName(HWND window);

// How a form's view shows some of its controls.
struct ControlLook {
    bool readOnly = false;      // a text box the operator cannot edit
    bool defaultButton = false; // the button Enter presses
    HFONT font = nullptr;
    HICON icon = nullptr; // what a picture shows
};

// The view of a control, its window made in the parent at the rectangle
// given (pixels, in the parent's client area) with the command id given;
// nullptr for the models without a window of their own (timers, menu
// entries).
std::unique_ptr<ControlView> makeControlView(Control& control, HWND parent, int id,
                                             const RECT& where, EventLoop& events,
                                             const ControlLook& look);

} // namespace kvl::win32
