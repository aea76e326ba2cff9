#include "gui/win32/MenuBar.h"

#include "platform/EventLoop.h"

namespace kvl::win32 {

MenuBar::MenuBar(HWND window, std::vector<MenuEntry*> entries, EventLoop& events)
    : window_(window), entries_(std::move(entries)), events_(events) {
    for (MenuEntry* entry : entries_)
        subscriptions_.push_back(entry->onChange([this](Property) { rebuild(); }));
    rebuild();
}

MenuBar::~MenuBar() {
    subscriptions_.clear();
    if (HMENU bar = ::GetMenu(window_)) {
        ::SetMenu(window_, nullptr);
        ::DestroyMenu(bar);
    }
}

HMENU MenuBar::makeDropDown(const MenuEntry& dropDown) const {
    HMENU menu = ::CreatePopupMenu();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const MenuEntry& entry = *entries_[i];
        if (entry.container() != dropDown.name() || !entry.visible())
            continue;
        const UINT id = static_cast<UINT>(FirstId + i);
        ::AppendMenuA(menu, MF_STRING | (entry.enabled() ? MF_ENABLED : MF_GRAYED), id,
                      entry.caption().c_str());
        if (entry.isDefault())
            ::SetMenuDefaultItem(menu, id, FALSE);
    }
    return menu;
}

void MenuBar::rebuild() {
    if (entries_.empty())
        return;
    HMENU bar = ::CreateMenu();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const MenuEntry& entry = *entries_[i];
        if (!entry.container().empty() || !entry.visible())
            continue;
        const UINT state = entry.enabled() ? MF_ENABLED : MF_GRAYED;
        bool holdsEntries = false;
        for (const MenuEntry* other : entries_)
            holdsEntries = holdsEntries || other->container() == entry.name();
        if (holdsEntries)
            ::AppendMenuA(bar, MF_POPUP | state, reinterpret_cast<UINT_PTR>(makeDropDown(entry)),
                          entry.caption().c_str());
        else
            ::AppendMenuA(bar, MF_STRING | state, static_cast<UINT_PTR>(FirstId + i),
                          entry.caption().c_str());
    }
    HMENU old = ::GetMenu(window_);
    ::SetMenu(window_, bar);
    if (old)
        ::DestroyMenu(old);
    ::DrawMenuBar(window_);
}

bool MenuBar::command(int id) {
    const int index = id - FirstId;
    if (index < 0 || index >= static_cast<int>(entries_.size()))
        return false;
    MenuEntry& entry = *entries_[static_cast<std::size_t>(index)];
    runHandler(events_, [&entry] { entry.click(); });
    return true;
}

bool MenuBar::popUp(const std::string& dropDownName, POINT where) {
    // A right click brings the button's press and release one after the
    // other, and both ask for the menu: the release comes while the first
    // menu is open, and a second one over it would take the pointer from it.
    if (tracking_)
        return true;
    for (const MenuEntry* entry : entries_) {
        if (entry->name() != dropDownName)
            continue;
        HMENU menu = makeDropDown(*entry);
        // Without the window in the foreground the menu would not close when
        // the operator clicks elsewhere.
        ::SetForegroundWindow(window_);
        tracking_ = true;
        const int chosen = static_cast<int>(::TrackPopupMenu(
            menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, where.x, where.y, 0, window_, nullptr));
        tracking_ = false;
        ::PostMessageA(window_, WM_NULL, 0, 0);
        ::DestroyMenu(menu);
        if (chosen != 0)
            command(chosen);
        return true;
    }
    return false;
}

} // namespace kvl::win32
