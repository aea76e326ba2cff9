#include "shell/ShellProcedures.h"

#include "shell/WindowClose.h"

namespace kvl {

void attachShellProcedures(ShellContext& shell) {
    FrmWpos1Type& window = shell.frmWpos1Type;
    window.onQueryUnload([&shell] { return frmWpos1Type_QueryUnload(shell); });
    window.onUnload([&shell] { frmWpos1Type_Unload(shell); });
}

} // namespace kvl
