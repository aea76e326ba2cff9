#pragma once

#include "platform/TrayIcon.h"

class QSystemTrayIcon;

namespace kvl {
class EventLoop;
}

namespace kvl::qt {

// The notification-area icon as a QSystemTrayIcon with the program icon and
// the record's tip. Its mouse events reach the logic as the shell numbers
// them: a double click 515, the right button 516 (Qt reports the press
// alone), a single left click 514.
class QtTrayIcon : public TrayIcon {
public:
    explicit QtTrayIcon(EventLoop& events);
    ~QtTrayIcon() override;
    QtTrayIcon(const QtTrayIcon&) = delete;
    QtTrayIcon& operator=(const QtTrayIcon&) = delete;

    bool available() const override;
    void add(const NotifyIconData& data) override;
    void remove(const NotifyIconData& data) override;

    // The icon while it is registered, for views and tests.
    QSystemTrayIcon* icon() const { return icon_; }

private:
    EventLoop& events_;
    QSystemTrayIcon* icon_ = nullptr;
};

} // namespace kvl::qt
