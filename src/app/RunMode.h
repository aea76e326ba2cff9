#pragma once

#include <string>

namespace kvl {

enum class RunMode { Resident, Interactive, Version, OneShot };

// Each switch is looked for anywhere in the command line without regard to
// case, in the order "-E", "-V", "-I"; the first found decides.
RunMode decideRunMode(const std::string& commandLine);

} // namespace kvl
