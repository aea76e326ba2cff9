#pragma once

#include <functional>
#include <string>
#include <utility>

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

// The tray icon's mouse events, numbered as the shell numbers them.
namespace TrayMouseEvent {
constexpr int LeftButtonUp = 514; // a single left click
constexpr int LeftDoubleClick = 515;
constexpr int RightButtonDown = 516;
constexpr int RightButtonUp = 517;
} // namespace TrayMouseEvent

// The notification-area icon. An implementation reports the icon's mouse
// events with activate(), on the event loop's thread, to the handler the
// program's logic attached. Without a display there is no tray.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;

    // Whether the desktop has a notification area for the icon.
    virtual bool available() const = 0;
    virtual void add(const NotifyIconData& data) = 0;
    virtual void remove(const NotifyIconData& data) = 0;

    // Attaches the handler of the icon's mouse events, replacing the one
    // before.
    void onActivation(std::function<void(int mouseEvent)> handler) {
        handler_ = std::move(handler);
    }
    // One mouse event on the icon (a TrayMouseEvent number).
    void activate(int mouseEvent) {
        if (handler_) {
            const auto handler = handler_;
            handler(mouseEvent);
        }
    }

private:
    std::function<void(int)> handler_;
};

} // namespace kvl
