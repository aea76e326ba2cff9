#pragma once

#include "shell/ShellContext.h"

namespace kvl {

// Attaches the resident window's event procedures to its form.
void attachShellProcedures(ShellContext& shell);

} // namespace kvl
