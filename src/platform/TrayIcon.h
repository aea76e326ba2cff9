#pragma once

#include <string>

namespace kvl {

// The notify-icon record the resident window registers, filled in field order.
struct NotifyIconData {
    int size = 88;
    long windowHandle = 0;
    int iconId = 1;
    int flags = 7;               // message, icon and tip fields are valid
    int callbackMessage = 0x200; // tray events arrive as mouse-move events
    long iconHandle = 0;
    std::string tip; // 64 characters
};

// The notification-area icon. Without a display there is no tray; the
// stand-in only remembers whether the icon is registered.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual void add(const NotifyIconData& data) = 0;
    virtual void remove(const NotifyIconData& data) = 0;
};

} // namespace kvl
