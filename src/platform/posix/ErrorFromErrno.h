#pragma once

#include "platform/RunTimeError.h"

#include <string>

namespace kvl {

// Maps an errno value onto the program's run-time error numbers, keeping the
// system's own text in the description.
RunTimeError errorFromErrno(int errnoValue, const std::string& path);

} // namespace kvl
