#pragma once

#include "config/ConfigContext.h"

namespace kvl {

// The program's own three settings in ParamTlvPos.TXT in the program folder:
// log switch, configuration file path, log file path. Saving writes the file
// only once it has been loaded: before that the resident window holds its
// design defaults, which must not replace the operator's settings. A file
// that is there but could not be read counts as not loaded.
void LoadParameters(ConfigContext& config);
void SaveParameters(ConfigContext& config);

} // namespace kvl
