#pragma once

#include "controls/Commands.h"

class QAction;

namespace kvl {
class EventLoop;
}

namespace kvl::qt {

// A menu entry as a QAction, on the menu bar, in a drop-down or in a pop-up:
// caption with its access key, enabled, visible, the default entry in bold;
// choosing it clicks the model.
class MenuEntryView {
public:
    MenuEntryView(MenuEntry& entry, QAction* action, EventLoop& events);
    MenuEntryView(const MenuEntryView&) = delete;
    MenuEntryView& operator=(const MenuEntryView&) = delete;

private:
    void refresh();

    MenuEntry& entry_;
    QAction* action_;
    Subscription subscription_;
};

} // namespace kvl::qt
