#include "shell/DocumentMenus.h"

#include "platform/RunTimeError.h"
#include "platform/StepGuard.h"

#include <string>

namespace kvl {

namespace {

const std::string ManualName = "Manuale_TalvioPosIngenico.pdf";
const std::string RestartNeeded =
    "Il programma verra' chiuso. Si prega di riavviarlo per aggiornare i parametri";
constexpr int ProgramEnded = 0;

void showMissing(ShellContext& shell, const std::string& path) {
    shell.platform.messages.show("File: " + path + " non trovato", ProgramTitle);
}

} // namespace

void Manuale_Click(ShellContext& shell) {
    Platform& platform = shell.platform;
    try {
        const std::string path = platform.files.joinPath(shell.config.DataFolder, ManualName);
        if (platform.files.fileExists(path))
            platform.documents.open(path);
        else
            showMissing(shell, path);
    } catch (const RunTimeError&) {
        platform.messages.show("Operazione non eseguita: verificare presenza Reader ",
                               ProgramTitle);
    }
}

void m_FileConfig_Click(ShellContext& shell) {
    Platform& platform = shell.platform;
    Timer& timer = shell.frmWpos1Type.Timer1;
    const bool polling = timer.enabled();
    timer.setEnabled(false);

    const std::string path = shell.frmWpos1Type.txtConfFile.text();
    bool found = false;
    skipOnFailure([&] { found = platform.files.fileExists(path); });
    if (!found) {
        showMissing(shell, path);
        // The program keeps running, so it keeps polling: a service that
        // stopped silently would leave the ECR's commands unanswered.
        if (!platform.events.quitRequested())
            timer.setEnabled(polling);
        return;
    }
    // Whether a program opened the file or not, the parameters are read
    // again only by a new start.
    skipOnFailure([&] { platform.documents.open(path); });
    platform.messages.show(RestartNeeded, ProgramTitle);
    platform.events.quit(ProgramEnded);
}

} // namespace kvl
