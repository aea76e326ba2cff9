#pragma once

#include "Program.h"

#include <string>

namespace kvl {

// The program's own three settings in ParamTlvPos.TXT in the program folder:
// log switch, configuration file path, log file path. LoadParameters returns
// false when the file is there but could not be read: the defaults it then
// gives must not be saved over the operator's settings.
bool LoadParameters(Program& program);
void SaveParameters(Program& program);

// Platform version and folders that settle DataFolder.
bool IsOS_Vista(Program& program);
std::string Read_CSIDL_COMMON_APPDATA(Program& program);

// Settles DataFolder as the resident start-up does. Returns false when the
// folder does not exist: the message has been shown and the program must end.
bool SettleDataFolder(Program& program);

} // namespace kvl
