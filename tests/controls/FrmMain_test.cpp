#include "console/FrmMain.h"

#include "FormControlTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl {
namespace {

using test::ControlRow;

TEST(FrmMain, FormCaptionAndSize) {
    FrmMain form;
    EXPECT_EQ(form.name(), "frmMain");
    EXPECT_EQ(form.caption(), "Test Iae17  (KVL modified)");
    EXPECT_EQ(form.clientWidth(), 7560);
    EXPECT_EQ(form.clientHeight(), 10245);
}

const std::vector<ControlRow> MainRows = {
    // Top-level controls.
    {"Frame1", "", "Dati comuni", {120, 120, 2295, 975}},
    {"Frame2", "", "Pagamento", {2760, 120, 3135, 1695}},
    {"Frame3", "", "Configurazione Ethernet", {120, 1800, 2535, 975}},
    {"Frame4", "", "Configurazione COM", {120, 2880, 2535, 2415}},
    {"Frame5", "", "Accredito", {2760, 1920, 4695, 855}},
    {"Frame6", "", "Preautorizzazione", {2760, 2880, 4695, 2415}},
    {"Frame7", "", "Testo Preautorizzazione", {120, 5280, 7335, 1215}},
    {"Frame8", "", "Esito", {120, 6480, 7335, 3135}},
    {"Label5", "", "Connessione", {120, 1200, 1095, 255}},
    {"cmbConnessione", "", "", {1200, 1200, 1215, 315}},
    {"btnChiusura", "", "Chiusura", {6120, 120, 1215, 375}},
    {"btnTotali", "", "Totali terminale", {6120, 600, 1215, 375}},
    {"btnStorno", "", "Storno", {6120, 1080, 1215, 375}},
    {"btnStatus", "", "Stato", {6120, 1560, 1215, 375}},
    {"Label33", "", "Versione DLL", {5160, 9840, 1455, 255}},
    {"DllVersion", "", "Label1", {6840, 9840, 615, 255}},
    // Input fields and their labels.
    {"txtTerminale", "Frame1", "", {1080, 240, 1095, 285}},
    {"Label1", "Frame1", "Id Terminale", {120, 240, 975, 255}},
    {"txtCassa", "Frame1", "99999999", {1080, 600, 1095, 285}},
    {"Label2", "Frame1", "Id Cassa", {120, 600, 975, 255}},
    {"txtImporto", "Frame2", "1", {1440, 240, 1575, 285}},
    {"Label3", "Frame2", "Importo (cent)", {120, 240, 1215, 255}},
    {"txtIP", "Frame3", "192.168.1.113", {1200, 240, 1215, 285}},
    {"Label6", "Frame3", "Indirizzo IP", {120, 240, 1095, 255}},
    {"txtPorta", "Frame3", "8080", {1200, 600, 1215, 285}},
    {"Label7", "Frame3", "Porta", {120, 600, 1095, 255}},
    {"txtImportoAccredito", "Frame5", "1", {1440, 240, 1575, 285}},
    {"Label13", "Frame5", "Importo (cent)", {120, 240, 1215, 255}},
    {"txtImportoPreAut", "Frame6", "1", {1440, 480, 1575, 285}},
    {"Label14", "Frame6", "Importo (cent)", {120, 480, 1215, 255}},
    {"txtCodicePreautorizzazione", "Frame6", "", {1440, 1560, 1575, 285}},
    {"Label16", "Frame6", "Codice Preaut.", {120, 1560, 1215, 255}},
    {"txtContratto", "Frame7", "Testo preautorizzazione contratto", {120, 240, 7095, 855}},
    // Selection fields and their labels.
    {"cmbPagamento", "Frame2", "", {1440, 600, 1575, 315}},
    {"Label4", "Frame2", "Tipo pagamento", {120, 600, 1215, 255}},
    {"cmbCOM", "Frame4", "", {1200, 240, 1215, 315}},
    {"Label8", "Frame4", "COM", {120, 240, 1095, 255}},
    {"cmbBaud", "Frame4", "", {1200, 660, 1215, 315}},
    {"Label12", "Frame4", "Velocit\xe0", {120, 660, 1095, 255}},
    {"cmbDati", "Frame4", "", {1200, 1080, 1215, 315}},
    {"Label11", "Frame4", "Bit di dati", {120, 1080, 1095, 255}},
    {"cmbParity", "Frame4", "", {1200, 1500, 1215, 315}},
    {"Label10", "Frame4", "Parit\xe0", {120, 1500, 1095, 255}},
    {"cmbStop", "Frame4", "", {1200, 1920, 1215, 315}},
    {"Label9", "Frame4", "Bit di stop", {120, 1920, 1095, 255}},
    {"cmbPreautorizzazione", "Frame6", "", {1440, 960, 1575, 315}},
    {"Label15", "Frame6", "Tipo pagamento", {120, 960, 1215, 255}},
    // Operation buttons inside the frames.
    {"btnPagamento", "Frame2", "Pagamento", {1800, 1080, 1215, 375}},
    {"btnAccredito", "Frame5", "Accredito", {3360, 240, 1215, 375}},
    {"btnPreautorizzazione", "Frame6", "Preautorizzazione", {3120, 480, 1455, 375}},
    {"btnIntegrativa", "Frame6", "Integrativa", {3120, 960, 1455, 375}},
    {"btnPreautChiusura", "Frame6", "Chiusura", {3120, 1440, 1455, 375}},
    {"btnStornoPreautorizzazione", "Frame6", "Storno Preaut.", {3120, 1920, 1455, 375}},
    // Outcome fields: labels 30 twips below their boxes, 1095 wide.
    {"txtEsito", "Frame8", "", {1440, 240, 2175, 285}},
    {"Label17", "Frame8", "Esito comando", {120, 270, 1095, 255}},
    {"txtTipoCarta", "Frame8", "", {5040, 240, 2175, 285}},
    {"Label26", "Frame8", "Tipo carta", {3840, 270, 1095, 255}},
    {"txtTermId", "Frame8", "", {1440, 600, 2175, 285}},
    {"Label19", "Frame8", "Terminale ID", {120, 630, 1095, 255}},
    {"txtPAN", "Frame8", "", {5040, 600, 2175, 285}},
    {"Label27", "Frame8", "PAN", {3840, 630, 1095, 255}},
    {"txtAcqId", "Frame8", "", {1440, 960, 2175, 285}},
    {"Label20", "Frame8", "Acquirer ID", {120, 990, 1095, 255}},
    {"txtSTAN", "Frame8", "", {5040, 960, 2175, 285}},
    {"Label28", "Frame8", "STAN", {3840, 990, 1095, 255}},
    {"txtTipoTrans", "Frame8", "", {1440, 1320, 2175, 285}},
    {"Label21", "Frame8", "Tipo trans.", {120, 1350, 1095, 255}},
    {"txtNumOp", "Frame8", "", {5040, 1320, 735, 285}},
    {"Label29", "Frame8", "Num. operaz.", {3840, 1350, 1095, 255}},
    {"txtData", "Frame8", "", {6360, 1320, 855, 285}},
    {"Label34", "Frame8", "Data", {5880, 1350, 375, 255}},
    {"txtEsitoTrans", "Frame8", "", {1440, 1680, 735, 285}},
    {"Label22", "Frame8", "Esito trans.", {120, 1710, 1095, 255}},
    {"txtAC", "Frame8", "", {2880, 1680, 735, 285}},
    {"Label25", "Frame8", "AC", {2400, 1710, 375, 255}},
    {"txtTotaliPOS", "Frame8", "", {5040, 1680, 2175, 285}},
    {"Label30", "Frame8", "Totali POS", {3840, 1710, 1095, 255}},
    {"txtCodAut", "Frame8", "", {1440, 2040, 2175, 285}},
    {"Label23", "Frame8", "Cod. autorizz.", {120, 2070, 1095, 255}},
    {"txtTotaliBanca", "Frame8", "", {5040, 2040, 2175, 285}},
    {"Label31", "Frame8", "Totali banca", {3840, 2070, 1095, 255}},
    {"txtCodPreaut", "Frame8", "", {1440, 2400, 2175, 285}},
    {"Label24", "Frame8", "Cod. preaut.", {120, 2430, 1095, 255}},
    {"txtImpPreaut", "Frame8", "", {5040, 2400, 2175, 285}},
    {"Label32", "Frame8", "Imp. preaut.", {3840, 2430, 1095, 255}},
    {"txtDescrKO", "Frame8", "", {1440, 2760, 5775, 285}},
    {"Label18", "Frame8", "Descrizione KO", {120, 2796, 1212, 252}},
};

class FrmMainControl : public testing::TestWithParam<ControlRow> {};

TEST_P(FrmMainControl, MatchesTheFormTable) {
    FrmMain form;
    test::expectRow(form.controls(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, FrmMainControl, testing::ValuesIn(MainRows),
                         [](const testing::TestParamInfo<ControlRow>& info) {
                             return info.param.name;
                         });

TEST(FrmMain, HoldsExactlyTheControlsOfTheTable) {
    FrmMain form;
    const std::vector<Control*> controls = form.controls();
    test::expectWellFormed(controls);
    EXPECT_EQ(controls.size(), MainRows.size());
}

struct InputState {
    std::string name;
    std::size_t limit;
    bool enabled;
    bool visible;
};

class FrmMainInput : public testing::TestWithParam<InputState> {};

TEST_P(FrmMainInput, LimitAndStateAtStart) {
    FrmMain form;
    const auto* box =
        dynamic_cast<const TextBox*>(test::findControl(form.controls(), GetParam().name));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->limit(), GetParam().limit);
    EXPECT_EQ(box->enabled(), GetParam().enabled);
    EXPECT_EQ(box->visible(), GetParam().visible);
}

INSTANTIATE_TEST_SUITE_P(Table, FrmMainInput,
                         testing::Values(InputState{"txtTerminale", 8, true, false},
                                         InputState{"txtCassa", 8, true, true},
                                         InputState{"txtImporto", 10, false, true},
                                         InputState{"txtIP", 15, true, true},
                                         InputState{"txtPorta", 5, true, true},
                                         InputState{"txtImportoAccredito", 10, false, true},
                                         InputState{"txtImportoPreAut", 10, false, true},
                                         InputState{"txtCodicePreautorizzazione", 9, true, true},
                                         InputState{"txtContratto", 128, true, true}),
                         [](const testing::TestParamInfo<InputState>& info) {
                             return info.param.name;
                         });

TEST(FrmMain, OperatorTypingStopsAtTheLimits) {
    FrmMain form;
    EXPECT_FALSE(form.txtCassa.typeText("123456789"));
    EXPECT_TRUE(form.txtCassa.typeText("12345678"));
    EXPECT_FALSE(form.txtPorta.typeText("123456"));
    EXPECT_TRUE(form.txtPorta.typeText("12345"));
    EXPECT_FALSE(form.txtImporto.typeText("500"));
    EXPECT_EQ(form.txtImporto.text(), "1");
}

TEST(FrmMain, OtherControlsStartEnabledAndVisible) {
    FrmMain form;
    for (const Control* control : form.controls()) {
        if (control == &form.txtTerminale) {
            continue;
        }
        if (control == &form.txtImporto || control == &form.txtImportoAccredito ||
            control == &form.txtImportoPreAut) {
            EXPECT_TRUE(control->visible()) << control->name();
            continue;
        }
        EXPECT_TRUE(control->enabled()) << control->name();
        EXPECT_TRUE(control->visible()) << control->name();
    }
}

struct ListContent {
    std::string name;
    std::vector<std::string> items;
};

class FrmMainList : public testing::TestWithParam<ListContent> {};

TEST_P(FrmMainList, ItemsInIndexOrderAndNothingSelected) {
    FrmMain form;
    const auto* list =
        dynamic_cast<const ComboBox*>(test::findControl(form.controls(), GetParam().name));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->items(), GetParam().items);
    EXPECT_EQ(list->listIndex(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrmMainList,
    testing::Values(ListContent{"cmbConnessione", {"Ethernet", "RS232"}},
                    ListContent{"cmbPagamento",
                                {"Automatico", "Debito", "Credito", "Altro", "CarteSpeciali",
                                 "Escludi Speciali"}},
                    ListContent{"cmbPreautorizzazione",
                                {"Automatico", "Debito", "Credito", "Altro"}},
                    ListContent{"cmbBaud", {"300", "1200", "2400", "4800", "9600", "19200"}},
                    ListContent{"cmbDati", {"7", "8"}},
                    ListContent{"cmbParity", {"None", "Odd", "Even"}},
                    ListContent{"cmbStop", {"1", "2"}}),
    [](const testing::TestParamInfo<ListContent>& info) { return info.param.name; });

TEST(FrmMain, ComPortsRunFromCom1ToCom20) {
    FrmMain form;
    const std::vector<std::string>& ports = form.cmbCOM.items();
    ASSERT_EQ(ports.size(), 20u);
    EXPECT_EQ(ports.front(), "COM1");
    EXPECT_EQ(ports[2], "COM3");
    EXPECT_EQ(ports[8], "COM9");
    EXPECT_EQ(ports[9], "COM10");
    EXPECT_EQ(ports.back(), "COM20");
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i], "COM" + std::to_string(i + 1));
    }
}

TEST(FrmMain, AnswerFieldsInTheOrderTheyAreWrittenAndEmptied) {
    FrmMain form;
    std::vector<std::string> names;
    for (const TextBox* field : form.answerFields()) {
        names.push_back(field->name());
    }
    const std::vector<std::string> expected = {
        "txtTermId",      "txtAcqId",     "txtTipoTrans", "txtEsitoTrans",
        "txtDescrKO",     "txtTipoCarta", "txtSTAN",      "txtTotaliPOS",
        "txtTotaliBanca", "txtPAN",       "txtCodAut",    "txtNumOp",
        "txtCodPreaut",   "txtImpPreaut", "txtAC",        "txtData"};
    EXPECT_EQ(names, expected);
}

} // namespace
} // namespace kvl
