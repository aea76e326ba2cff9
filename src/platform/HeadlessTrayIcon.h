#pragma once

#include "platform/TrayIcon.h"

namespace kvl {

// Without a display there is no notification area: no tray is available, and
// the icon's registration is only remembered.
class HeadlessTrayIcon : public TrayIcon {
public:
    bool available() const override { return false; }
    void add(const NotifyIconData&) override { registered_ = true; }
    void remove(const NotifyIconData&) override { registered_ = false; }
    bool registered() const { return registered_; }

private:
    bool registered_ = false;
};

} // namespace kvl
