#pragma once

#include "shell/ShellContext.h"

namespace kvl {

// Attaches the resident window's event procedures to its form (close request,
// unload, resize, menus), the tray icon's notifications and the About box's OK
// button.
void attachShellProcedures(ShellContext& shell);

} // namespace kvl
