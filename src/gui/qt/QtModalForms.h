#pragma once

#include "controls/ModalForms.h"

#include <functional>

namespace kvl::qt {

class FormWindow;

// Shows a form's window modally, centred on its owner's window (on the
// screen while the owner is hidden), and runs a nested event loop until the
// form is hidden again or the program ends. Pops up a form's drop-down at the
// mouse position until an entry is chosen or the menu is left.
class QtModalForms : public ModalForms {
public:
    // The window of a form, nullptr when it has none.
    using WindowOf = std::function<FormWindow*(Form&)>;
    explicit QtModalForms(WindowOf windowOf) : windowOf_(std::move(windowOf)) {}

    void showModal(Form& form) override;
    void popupMenu(Form& form, MenuEntry& menu) override;

private:
    WindowOf windowOf_;
};

} // namespace kvl::qt
