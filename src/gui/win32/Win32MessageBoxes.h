#pragma once

#include "platform/MessageBoxes.h"

namespace kvl::win32 {

// MessageBoxA, owned by the program's active window when it has one, so that
// the box is modal to it; brought to the foreground, since the program
// usually has no window in sight.
class Win32MessageBoxes : public MessageBoxes {
public:
    MessageAnswer show(const std::string& text, const std::string& title, MessageButtons buttons,
                       MessageIcon icon) override;
};

} // namespace kvl::win32
