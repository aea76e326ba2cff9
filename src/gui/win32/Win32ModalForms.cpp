#include "gui/win32/Win32ModalForms.h"

#include "gui/win32/FormWindow.h"
#include "platform/EventLoop.h"

namespace kvl::win32 {

void Win32ModalForms::showModal(Form& form) {
    FormWindow* view = windowOf_(form);
    HWND owner = view ? ::GetWindow(view->window(), GW_OWNER) : nullptr;
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    form.show();
    while (form.visible() && !events_.quitRequested() && view) {
        ::WaitMessage();
        events_.processEvents();
    }
    // The owner comes back before the box goes, so that it takes the focus.
    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    if (form.visible())
        form.hide();
}

void Win32ModalForms::popupMenu(Form& form, MenuEntry& menu) {
    FormWindow* view = windowOf_(form);
    if (!view || !view->menuBar())
        return;
    POINT where{};
    ::GetCursorPos(&where);
    view->menuBar()->popUp(menu.name(), where);
}

} // namespace kvl::win32
