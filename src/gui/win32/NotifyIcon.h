#pragma once

#include "platform/TrayIcon.h"

#include <windows.h>

#include <shellapi.h>

namespace kvl::win32 {

// The notification-area icon through Shell_NotifyIconA with the record the
// resident start-up filled: its size (88), icon identifier, flags, callback
// message (512, the mouse-move message) and tip, with the resident window's
// handle and the program icon. The shell's callback reaches the resident
// window as a mouse move whose x is the mouse event's number; notify() hands
// that number to the logic. When the shell restarts (its taskbar made anew)
// the icon is registered again.
class NotifyIcon : public TrayIcon {
public:
    explicit NotifyIcon(HICON icon);
    // An icon still registered when the program ends is taken away: none is
    // left behind in the notification area.
    ~NotifyIcon() override;
    NotifyIcon(const NotifyIcon&) = delete;
    NotifyIcon& operator=(const NotifyIcon&) = delete;
    // The window that receives the shell's callbacks: the resident window.
    void setWindow(HWND window) { window_ = window; }
    // Removes the icon if it is still there and forgets the window, which is
    // about to go.
    void release();
    bool available() const override;
    void add(const NotifyIconData& data) override;
    void remove(const NotifyIconData& data) override;

    // A message of the resident window: true when it was the icon's (its
    // callback, or the shell's taskbar made anew).
    bool notify(UINT message, WPARAM wParam, LPARAM lParam);

private:
    NOTIFYICONDATAA record(const NotifyIconData& data) const;

    HWND window_ = nullptr;
    HICON icon_;
    UINT taskbarCreated_;
    bool registered_ = false;
    NotifyIconData data_;
};

} // namespace kvl::win32
