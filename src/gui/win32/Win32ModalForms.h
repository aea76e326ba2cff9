#pragma once

#include "controls/ModalForms.h"

#include <functional>
#include <windows.h>

namespace kvl {
class EventLoop;
}

namespace kvl::win32 {

class FormWindow;

// Shows a form modally: its owner is disabled while it is shown, and the
// thread's messages run until the form is hidden again (its OK button
// unloads it, or its close box) or the program ends. Pops up a form's
// drop-down menu where the mouse is.
class Win32ModalForms : public ModalForms {
public:
    // windowOf finds the view of a form, nullptr when it has none.
    Win32ModalForms(EventLoop& events, std::function<FormWindow*(Form&)> windowOf)
        : events_(events), windowOf_(std::move(windowOf)) {}
    void showModal(Form& form) override;
    // TrackPopupMenu of the drop-down's entries at the mouse position.
    void popupMenu(Form& form, MenuEntry& menu) override;

private:
    EventLoop& events_;
    std::function<FormWindow*(Form&)> windowOf_;
};

} // namespace kvl::win32
