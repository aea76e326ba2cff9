#pragma once

#include "platform/TrayIcon.h"

namespace kvl {

// Without a display there is no notification area; the icon's registration
// is only remembered.
class HeadlessTrayIcon : public TrayIcon {
public:
    void add(const NotifyIconData&) override { registered_ = true; }
    void remove(const NotifyIconData&) override { registered_ = false; }
    bool registered() const { return registered_; }

private:
    bool registered_ = false;
};

} // namespace kvl
