#include "shell/forms/FrmWpos1Type.h"

namespace kvl {

FrmWpos1Type::FrmWpos1Type()
    : Form("frmWpos1Type", "KVL TalvioPos per POS Ingenico (scambio importo)", 0, 0) {
    m_esci.setDefault(true);
}

std::vector<Control*> FrmWpos1Type::controls() {
    return {
        &Frame7,        &chkEnableLog,     &txtLogFileName, &txtConfFile,  &lblFileConf, &Frame4,
        &Label4,        &lblINPF2,         &Label14,        &lblOUTF2,     &Frame3,      &Shape1,
        &lblTerminalId, &lblValTerminalId, &Frame2,         &Label3,       &ShapeDump,   &lblTipo1,
        &lblTipo2,      &Frame1,           &Label6,         &lblPCOM2,     &Label8,      &lblBAUD2,
        &Label10,       &lblSTOP2,         &Label12,        &lblBITS2,     &Label2,      &lblPARI2,
        &frameETH,      &lblIPAD1,         &lblIPAD2,       &lblPORT1,     &lblPORT2,    &Timer1,
        &m_File,        &m_esci,           &Manuale,        &m_FileConfig, &m_help,      &mInfo};
}

} // namespace kvl
