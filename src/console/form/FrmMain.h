#pragma once

#include "controls/ComboBox.h"
#include "controls/Commands.h"
#include "controls/Form.h"
#include "controls/SimpleControls.h"
#include "controls/TextBox.h"

#include <vector>

namespace kvl {

// The console form: input, connection and outcome fields of the operation in
// progress, the connection selector and the operation buttons. Positions are
// in twips, relative to the form or to the enclosing frame.
class FrmMain : public Form {
public:
    FrmMain();

    // Group frames and top-level controls.
    Frame Frame1{"Frame1", {}, {120, 120, 2295, 975}, "Dati comuni"};
    Frame Frame2{"Frame2", {}, {2760, 120, 3135, 1695}, "Pagamento"};
    Frame Frame3{"Frame3", {}, {120, 1800, 2535, 975}, "Configurazione Ethernet"};
    Frame Frame4{"Frame4", {}, {120, 2880, 2535, 2415}, "Configurazione COM"};
    Frame Frame5{"Frame5", {}, {2760, 1920, 4695, 855}, "Accredito"};
    Frame Frame6{"Frame6", {}, {2760, 2880, 4695, 2415}, "Preautorizzazione"};
    Frame Frame7{"Frame7", {}, {120, 5280, 7335, 1215}, "Testo Preautorizzazione"};
    Frame Frame8{"Frame8", {}, {120, 6480, 7335, 3135}, "Esito"};
    Label Label5{"Label5", {}, {120, 1200, 1095, 255}, "Connessione"};
    ComboBox cmbConnessione{"cmbConnessione", {}, {1200, 1200, 1215, 315}, {"Ethernet", "RS232"}};
    Button btnChiusura{"btnChiusura", {}, {6120, 120, 1215, 375}, "Chiusura"};
    Button btnTotali{"btnTotali", {}, {6120, 600, 1215, 375}, "Totali terminale"};
    Button btnStorno{"btnStorno", {}, {6120, 1080, 1215, 375}, "Storno"};
    Button btnStatus{"btnStatus", {}, {6120, 1560, 1215, 375}, "Stato"};
    Label Label33{"Label33", {}, {5160, 9840, 1455, 255}, "Versione DLL"};
    Label DllVersion{"DllVersion", {}, {6840, 9840, 615, 255}, "Label1"};

    // Input fields.
    Label Label1{"Label1", "Frame1", {120, 240, 975, 255}, "Id Terminale"};
    TextBox txtTerminale{"txtTerminale", "Frame1", {1080, 240, 1095, 285}, "", 8};
    Label Label2{"Label2", "Frame1", {120, 600, 975, 255}, "Id Cassa"};
    TextBox txtCassa{"txtCassa", "Frame1", {1080, 600, 1095, 285}, "99999999", 8};
    Label Label3{"Label3", "Frame2", {120, 240, 1215, 255}, "Importo (cent)"};
    TextBox txtImporto{"txtImporto", "Frame2", {1440, 240, 1575, 285}, "1", 10};
    Label Label4{"Label4", "Frame2", {120, 600, 1215, 255}, "Tipo pagamento"};
    ComboBox cmbPagamento{
        "cmbPagamento",
        "Frame2",
        {1440, 600, 1575, 315},
        {"Automatico", "Debito", "Credito", "Altro", "CarteSpeciali", "Escludi Speciali"}};
    Button btnPagamento{"btnPagamento", "Frame2", {1800, 1080, 1215, 375}, "Pagamento"};
    Label Label6{"Label6", "Frame3", {120, 240, 1095, 255}, "Indirizzo IP"};
    TextBox txtIP{"txtIP", "Frame3", {1200, 240, 1215, 285}, "192.168.1.113", 15};
    Label Label7{"Label7", "Frame3", {120, 600, 1095, 255}, "Porta"};
    TextBox txtPorta{"txtPorta", "Frame3", {1200, 600, 1215, 285}, "8080", 5};
    Label Label8{"Label8", "Frame4", {120, 240, 1095, 255}, "COM"};
    ComboBox cmbCOM{"cmbCOM", "Frame4", {1200, 240, 1215, 315}, comPortNames()};
    Label Label12{"Label12", "Frame4", {120, 660, 1095, 255}, "Velocit\xe0"};
    ComboBox cmbBaud{"cmbBaud",
                     "Frame4",
                     {1200, 660, 1215, 315},
                     {"300", "1200", "2400", "4800", "9600", "19200"}};
    Label Label11{"Label11", "Frame4", {120, 1080, 1095, 255}, "Bit di dati"};
    ComboBox cmbDati{"cmbDati", "Frame4", {1200, 1080, 1215, 315}, {"7", "8"}};
    Label Label10{"Label10", "Frame4", {120, 1500, 1095, 255}, "Parit\xe0"};
    ComboBox cmbParity{"cmbParity", "Frame4", {1200, 1500, 1215, 315}, {"None", "Odd", "Even"}};
    Label Label9{"Label9", "Frame4", {120, 1920, 1095, 255}, "Bit di stop"};
    ComboBox cmbStop{"cmbStop", "Frame4", {1200, 1920, 1215, 315}, {"1", "2"}};
    Label Label13{"Label13", "Frame5", {120, 240, 1215, 255}, "Importo (cent)"};
    TextBox txtImportoAccredito{"txtImportoAccredito", "Frame5", {1440, 240, 1575, 285}, "1", 10};
    Button btnAccredito{"btnAccredito", "Frame5", {3360, 240, 1215, 375}, "Accredito"};
    Label Label14{"Label14", "Frame6", {120, 480, 1215, 255}, "Importo (cent)"};
    TextBox txtImportoPreAut{"txtImportoPreAut", "Frame6", {1440, 480, 1575, 285}, "1", 10};
    Label Label15{"Label15", "Frame6", {120, 960, 1215, 255}, "Tipo pagamento"};
    ComboBox cmbPreautorizzazione{"cmbPreautorizzazione",
                                  "Frame6",
                                  {1440, 960, 1575, 315},
                                  {"Automatico", "Debito", "Credito", "Altro"}};
    Label Label16{"Label16", "Frame6", {120, 1560, 1215, 255}, "Codice Preaut."};
    TextBox txtCodicePreautorizzazione{
        "txtCodicePreautorizzazione", "Frame6", {1440, 1560, 1575, 285}, "", 9};
    Button btnPreautorizzazione{
        "btnPreautorizzazione", "Frame6", {3120, 480, 1455, 375}, "Preautorizzazione"};
    Button btnIntegrativa{"btnIntegrativa", "Frame6", {3120, 960, 1455, 375}, "Integrativa"};
    Button btnPreautChiusura{"btnPreautChiusura", "Frame6", {3120, 1440, 1455, 375}, "Chiusura"};
    Button btnStornoPreautorizzazione{
        "btnStornoPreautorizzazione", "Frame6", {3120, 1920, 1455, 375}, "Storno Preaut."};
    TextBox txtContratto{
        "txtContratto", "Frame7", {120, 240, 7095, 855}, "Testo preautorizzazione contratto", 128};

    // Outcome fields, frame "Esito": left column labels at 120, right at 3840,
    // each 30 twips below its box's top.
    Label Label17{"Label17", "Frame8", {120, 270, 1095, 255}, "Esito comando"};
    TextBox txtEsito{"txtEsito", "Frame8", {1440, 240, 2175, 285}};
    Label Label26{"Label26", "Frame8", {3840, 270, 1095, 255}, "Tipo carta"};
    TextBox txtTipoCarta{"txtTipoCarta", "Frame8", {5040, 240, 2175, 285}};
    Label Label19{"Label19", "Frame8", {120, 630, 1095, 255}, "Terminale ID"};
    TextBox txtTermId{"txtTermId", "Frame8", {1440, 600, 2175, 285}};
    Label Label27{"Label27", "Frame8", {3840, 630, 1095, 255}, "PAN"};
    TextBox txtPAN{"txtPAN", "Frame8", {5040, 600, 2175, 285}};
    Label Label20{"Label20", "Frame8", {120, 990, 1095, 255}, "Acquirer ID"};
    TextBox txtAcqId{"txtAcqId", "Frame8", {1440, 960, 2175, 285}};
    Label Label28{"Label28", "Frame8", {3840, 990, 1095, 255}, "STAN"};
    TextBox txtSTAN{"txtSTAN", "Frame8", {5040, 960, 2175, 285}};
    Label Label21{"Label21", "Frame8", {120, 1350, 1095, 255}, "Tipo trans."};
    TextBox txtTipoTrans{"txtTipoTrans", "Frame8", {1440, 1320, 2175, 285}};
    Label Label29{"Label29", "Frame8", {3840, 1350, 1095, 255}, "Num. operaz."};
    TextBox txtNumOp{"txtNumOp", "Frame8", {5040, 1320, 735, 285}};
    Label Label34{"Label34", "Frame8", {5880, 1350, 375, 255}, "Data"};
    TextBox txtData{"txtData", "Frame8", {6360, 1320, 855, 285}};
    Label Label22{"Label22", "Frame8", {120, 1710, 1095, 255}, "Esito trans."};
    TextBox txtEsitoTrans{"txtEsitoTrans", "Frame8", {1440, 1680, 735, 285}};
    Label Label25{"Label25", "Frame8", {2400, 1710, 375, 255}, "AC"};
    TextBox txtAC{"txtAC", "Frame8", {2880, 1680, 735, 285}};
    Label Label30{"Label30", "Frame8", {3840, 1710, 1095, 255}, "Totali POS"};
    TextBox txtTotaliPOS{"txtTotaliPOS", "Frame8", {5040, 1680, 2175, 285}};
    Label Label23{"Label23", "Frame8", {120, 2070, 1095, 255}, "Cod. autorizz."};
    TextBox txtCodAut{"txtCodAut", "Frame8", {1440, 2040, 2175, 285}};
    Label Label31{"Label31", "Frame8", {3840, 2070, 1095, 255}, "Totali banca"};
    TextBox txtTotaliBanca{"txtTotaliBanca", "Frame8", {5040, 2040, 2175, 285}};
    Label Label24{"Label24", "Frame8", {120, 2430, 1095, 255}, "Cod. preaut."};
    TextBox txtCodPreaut{"txtCodPreaut", "Frame8", {1440, 2400, 2175, 285}};
    Label Label32{"Label32", "Frame8", {3840, 2430, 1095, 255}, "Imp. preaut."};
    TextBox txtImpPreaut{"txtImpPreaut", "Frame8", {5040, 2400, 2175, 285}};
    Label Label18{"Label18", "Frame8", {120, 2796, 1212, 252}, "Descrizione KO"};
    TextBox txtDescrKO{"txtDescrKO", "Frame8", {1440, 2760, 5775, 285}};

    // The application-wide mouse pointer shows the hourglass while an
    // operation started from the console runs.
    bool busyPointer = false;

    // Every control, in declaration order, for views and tests.
    std::vector<Control*> controls() override;

    // The sixteen answer fields after txtEsito, in the order they are written
    // and emptied.
    std::vector<TextBox*> answerFields();

private:
    static std::vector<std::string> comPortNames();
};

} // namespace kvl
