#pragma once

#include "controls/Commands.h"
#include "controls/Form.h"

namespace kvl {

// Shows forms modally (the About box). A view shows the form, over its
// owner when it has one, and returns once it is hidden again (its OK button
// unloads it, or its close box), running the event loop meanwhile; without a
// display the form is written out and closed at once. Message boxes are the
// platform's MessageBoxes.
class ModalForms {
public:
    virtual ~ModalForms() = default;
    virtual void showModal(Form& form) = 0;

    // Pops up a drop-down of the form's menu at the mouse position, its
    // default entry in bold, and returns once it is closed; the entry chosen
    // runs through its click(). Without a display there is no menu to show.
    virtual void popupMenu(Form& /*form*/, MenuEntry& /*menu*/) {}
};

} // namespace kvl
