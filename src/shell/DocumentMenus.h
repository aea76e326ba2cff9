#pragma once

#include "shell/ShellContext.h"

namespace kvl {

// "&Manuale": opens Manuale_TalvioPosIngenico.pdf in DataFolder with the
// program associated with it, or says that it is missing; polling is not
// touched.
void Manuale_Click(ShellContext& shell);

// "File&Config": opens the configuration file named in txtConfFile for
// editing, says that the program will close, and ends it at once (status 0)
// without any of the close steps: no question, no parameter file, no tray
// icon removal, no library release. When the file is missing it says so and
// polling goes on as it was.
void m_FileConfig_Click(ShellContext& shell);

} // namespace kvl
