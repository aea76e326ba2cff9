#include "shell/forms/FrmAbout.h"

#include "platform/MessageBoxes.h"

namespace kvl {

FrmAbout::FrmAbout() : Form("frmAbout", "Informazioni su KVL TalvioPos (Ingenico)", 7305, 3255) {}

void FrmAbout::load() {
    // The third number of the version line is always 0.
    lblVersion.setCaption("Versione " + std::to_string(ProgramVersion::major) + "." +
                          std::to_string(ProgramVersion::minor) + ".0." +
                          std::to_string(ProgramVersion::revision));
    lblTitle.setCaption(ProgramTitle + " per sistemi Windows 32/64 bit");
    lblDescription.setCaption(ProgramDescription);
}

std::vector<Control*> FrmAbout::controls() {
    return {&picIcon, &lblTitle, &lblVersion, &lblDescription, &cmdOK};
}

} // namespace kvl
