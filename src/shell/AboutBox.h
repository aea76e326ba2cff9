#pragma once

#include "shell/ShellContext.h"

namespace kvl {

// Shows the About box modally over the resident window and returns when it
// closes; the Version mode shows it this way too. One About box at a time: a
// request while it is open returns at once.
void showAboutBox(ShellContext& shell);

// "&Informazioni  su KVL TalvioPos": no polling while the About box is open,
// then polling as it was.
void mInfo_Click(ShellContext& shell);

// The About box's OK button: the box closes.
void cmdOK_Click(ShellContext& shell);

} // namespace kvl
