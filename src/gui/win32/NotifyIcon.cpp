#include "gui/win32/NotifyIcon.h"

#include <algorithm>
#include <cstring>

namespace kvl::win32 {

NotifyIcon::NotifyIcon(HICON icon)
    : icon_(icon), taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")) {}

NotifyIcon::~NotifyIcon() {
    release();
}

void NotifyIcon::release() {
    if (registered_)
        remove(data_);
    window_ = nullptr;
}

bool NotifyIcon::available() const {
    return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr;
}

NOTIFYICONDATAA NotifyIcon::record(const NotifyIconData& data) const {
    NOTIFYICONDATAA record{};
    // The record's own size (88, the first form of the structure) tells the
    // shell which fields it holds.
    record.cbSize = static_cast<DWORD>(data.size);
    record.hWnd = window_;
    record.uID = static_cast<UINT>(data.iconId);
    record.uFlags = static_cast<UINT>(data.flags);
    record.uCallbackMessage = static_cast<UINT>(data.callbackMessage);
    record.hIcon = icon_;
    const std::size_t tip = std::min(data.tip.size(), static_cast<std::size_t>(63));
    std::memcpy(record.szTip, data.tip.data(), tip);
    return record;
}

void NotifyIcon::add(const NotifyIconData& data) {
    data_ = data;
    NOTIFYICONDATAA icon = record(data);
    registered_ = ::Shell_NotifyIconA(NIM_ADD, &icon) != 0;
}

void NotifyIcon::remove(const NotifyIconData& data) {
    NOTIFYICONDATAA icon = record(data);
    ::Shell_NotifyIconA(NIM_DELETE, &icon);
    registered_ = false;
}

bool NotifyIcon::notify(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        if (registered_)
            add(data_);
        return true;
    }
    // A real mouse move over the window carries the key state in wParam and
    // the position in lParam; the shell's callback carries the icon's
    // identifier and the mouse event. The window is narrower than the
    // smallest event's number, so the x of a real move never reaches it.
    if (message != static_cast<UINT>(data_.callbackMessage) || !registered_ ||
        wParam != static_cast<WPARAM>(data_.iconId))
        return false;
    const int mouseEvent = static_cast<int>(static_cast<short>(LOWORD(lParam)));
    if (mouseEvent < WM_MOUSEFIRST)
        return false;
    activate(mouseEvent);
    return true;
}

} // namespace kvl::win32
