#pragma once

#include "config/ConfigContext.h"

#include <string>

namespace kvl {

// Platform version and folders that settle DataFolder.
bool IsOS_Vista(ConfigContext& config);
std::string Read_CSIDL_COMMON_APPDATA(ConfigContext& config);

// Settles DataFolder as the resident start-up does. Returns false when the
// folder does not exist: the message has been shown and the program must end.
bool SettleDataFolder(ConfigContext& config);

} // namespace kvl
