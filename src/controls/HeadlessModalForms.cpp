#include "controls/HeadlessModalForms.h"

#include "controls/SimpleControls.h"

#include <ostream>

namespace kvl {

void HeadlessModalForms::showModal(Form& form) {
    form.show();
    for (Control* control : form.controls())
        if (const auto* label = dynamic_cast<const Label*>(control))
            out_ << label->caption() << '\n';
    out_.flush();
    form.hide();
}

} // namespace kvl
