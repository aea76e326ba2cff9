#pragma once

#include "controls/ModalForms.h"

#include <iosfwd>

namespace kvl {

// Modal forms without a display: the form's labels are written, one caption a
// line, in the order of its controls (for the About box its title, version
// and description), and the form is closed as if its default button had been
// pressed.
class HeadlessModalForms : public ModalForms {
public:
    explicit HeadlessModalForms(std::ostream& out) : out_(out) {}
    void showModal(Form& form) override;

private:
    std::ostream& out_;
};

} // namespace kvl
