#include "shell/ShellProcedures.h"

#include "shell/AboutBox.h"
#include "shell/DocumentMenus.h"
#include "shell/TrayBehaviour.h"
#include "shell/WindowClose.h"

#include <utility>

namespace kvl {

void attachShellProcedures(ShellContext& shell) {
    FrmWpos1Type& window = shell.frmWpos1Type;
    window.onQueryUnload([&shell] { return frmWpos1Type_QueryUnload(shell); });
    window.onUnload([&shell] { frmWpos1Type_Unload(shell); });
    window.onResize([&shell] { frmWpos1Type_Resize(shell); });
    shell.platform.tray.onActivation(
        [&shell](int mouseEvent) { frmWpos1Type_MouseMove(shell, mouseEvent); });

    const std::pair<Clickable*, void (*)(ShellContext&)> clicks[] = {
        {&window.m_esci, m_esci_Click},
        {&window.Manuale, Manuale_Click},
        {&window.m_FileConfig, m_FileConfig_Click},
        {&window.mInfo, mInfo_Click},
        {&shell.frmAbout.cmdOK, cmdOK_Click}};
    for (const auto& [control, procedure] : clicks)
        control->onClick([&shell, procedure = procedure] { procedure(shell); });
}

} // namespace kvl
