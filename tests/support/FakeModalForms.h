#pragma once

#include "controls/ModalForms.h"

#include <functional>
#include <string>
#include <vector>

namespace kvl::test {

// Records each form shown modally and lets a test act while it is open; the
// form closes when whileOpen returns, unless something closed it before.
// Records each menu popped up.
class FakeModalForms : public ModalForms {
public:
    void showModal(Form& form) override {
        shown.push_back(form.name());
        form.show();
        if (whileOpen)
            whileOpen(form);
        form.hide();
    }

    void popupMenu(Form&, MenuEntry& menu) override { popups.push_back(menu.name()); }

    std::vector<std::string> shown;
    std::function<void(Form&)> whileOpen;
    std::vector<std::string> popups; // the menus popped up
};

} // namespace kvl::test
