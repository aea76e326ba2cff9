#pragma once

#include "controls/Commands.h"
#include "controls/Notifier.h"

#include <string>
#include <vector>
#include <windows.h>

namespace kvl {
class EventLoop;
}

namespace kvl::win32 {

// A form's menu bar built from its menu entries: a drop-down for an entry
// that holds others, a command on the bar itself for one that holds none,
// each drop-down's default entry in bold. Any change of an entry's caption,
// enabled or visible state or default rebuilds the bar. A chosen entry is
// clicked through its model.
class MenuBar {
public:
    MenuBar(HWND window, std::vector<MenuEntry*> entries, EventLoop& events);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    bool empty() const { return entries_.empty(); }
    // A WM_COMMAND from a menu: true when the id was one of its entries.
    bool command(int id);
    // Pops up the drop-down's entries at the screen position and returns once
    // the menu has closed; the chosen entry is clicked. Asked again while the
    // menu is open, it does nothing. False when the drop-down has no entries
    // here.
    bool popUp(const std::string& dropDownName, POINT where);

    static constexpr int FirstId = 1000;

private:
    HMENU makeDropDown(const MenuEntry& dropDown) const;
    void rebuild();

    HWND window_;
    std::vector<MenuEntry*> entries_;
    EventLoop& events_;
    std::vector<Subscription> subscriptions_;
    bool tracking_ = false;
};

} // namespace kvl::win32
