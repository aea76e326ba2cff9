#include "console/form/FrmMain.h"

namespace kvl {

FrmMain::FrmMain() : Form("frmMain", "Test Iae17  (KVL modified)", 7560, 10245) {
    txtTerminale.setVisible(false);
    txtImporto.setEnabled(false);
    txtImportoAccredito.setEnabled(false);
    txtImportoPreAut.setEnabled(false);
}

std::vector<std::string> FrmMain::comPortNames() {
    std::vector<std::string> names;
    for (int port = 1; port <= 20; ++port)
        names.push_back("COM" + std::to_string(port));
    return names;
}

std::vector<TextBox*> FrmMain::answerFields() {
    return {&txtTermId,      &txtAcqId,     &txtTipoTrans, &txtEsitoTrans,
            &txtDescrKO,     &txtTipoCarta, &txtSTAN,      &txtTotaliPOS,
            &txtTotaliBanca, &txtPAN,       &txtCodAut,    &txtNumOp,
            &txtCodPreaut,   &txtImpPreaut, &txtAC,        &txtData};
}

std::vector<Control*> FrmMain::controls() {
    return {&Frame1,
            &Frame2,
            &Frame3,
            &Frame4,
            &Frame5,
            &Frame6,
            &Frame7,
            &Frame8,
            &Label5,
            &cmbConnessione,
            &btnChiusura,
            &btnTotali,
            &btnStorno,
            &btnStatus,
            &Label33,
            &DllVersion,
            &Label1,
            &txtTerminale,
            &Label2,
            &txtCassa,
            &Label3,
            &txtImporto,
            &Label4,
            &cmbPagamento,
            &btnPagamento,
            &Label6,
            &txtIP,
            &Label7,
            &txtPorta,
            &Label8,
            &cmbCOM,
            &Label12,
            &cmbBaud,
            &Label11,
            &cmbDati,
            &Label10,
            &cmbParity,
            &Label9,
            &cmbStop,
            &Label13,
            &txtImportoAccredito,
            &btnAccredito,
            &Label14,
            &txtImportoPreAut,
            &Label15,
            &cmbPreautorizzazione,
            &Label16,
            &txtCodicePreautorizzazione,
            &btnPreautorizzazione,
            &btnIntegrativa,
            &btnPreautChiusura,
            &btnStornoPreautorizzazione,
            &txtContratto,
            &Label17,
            &txtEsito,
            &Label26,
            &txtTipoCarta,
            &Label19,
            &txtTermId,
            &Label27,
            &txtPAN,
            &Label20,
            &txtAcqId,
            &Label28,
            &txtSTAN,
            &Label21,
            &txtTipoTrans,
            &Label29,
            &txtNumOp,
            &Label34,
            &txtData,
            &Label22,
            &txtEsitoTrans,
            &Label25,
            &txtAC,
            &Label30,
            &txtTotaliPOS,
            &Label23,
            &txtCodAut,
            &Label31,
            &txtTotaliBanca,
            &Label24,
            &txtCodPreaut,
            &Label32,
            &txtImpPreaut,
            &Label18,
            &txtDescrKO};
}

} // namespace kvl
