#pragma once

#include "platform/RunTimeError.h"

#include <string>

namespace kvl {

// Maps a system error code (GetLastError) onto the program's run-time error
// numbers: a file another program holds open (sharing or lock violation) is
// 70, access denied 75, as the polling cycle's retry rules expect. The
// description keeps the system's own text and the path.
RunTimeError errorFromWin32(unsigned long code, const std::string& path);

// The system's text for an error code, without its final line break.
std::string systemMessage(unsigned long code);

} // namespace kvl
