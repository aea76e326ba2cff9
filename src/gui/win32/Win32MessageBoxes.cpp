#include "gui/win32/Win32MessageBoxes.h"

#include <windows.h>

namespace kvl::win32 {

MessageAnswer Win32MessageBoxes::show(const std::string& text, const std::string& title,
                                      MessageButtons buttons, MessageIcon icon) {
    UINT type = buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    if (icon == MessageIcon::Critical)
        type |= MB_ICONHAND;
    type |= MB_SETFOREGROUND;
    const int answer = ::MessageBoxA(::GetActiveWindow(), text.c_str(), title.c_str(), type);
    return answer == IDCANCEL ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

} // namespace kvl::win32
