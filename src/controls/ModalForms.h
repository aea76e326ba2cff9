#pragma once

#include "controls/Form.h"

namespace kvl {

// Shows forms modally (the About box). A view shows the form and returns once
// it is hidden again (its OK button unloads it, or its close box), running the
// event loop meanwhile; without a display the form is written out and closed
// at once. Message boxes are the platform's MessageBoxes.
class ModalForms {
public:
    virtual ~ModalForms() = default;
    virtual void showModal(Form& form) = 0;
};

} // namespace kvl
