#include "shell/FrmWpos1Type.h"

#include "FormControlTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl {
namespace {

using test::ControlRow;

TEST(FrmWpos1Type, FormCaption) {
    FrmWpos1Type form;
    EXPECT_EQ(form.name(), "frmWpos1Type");
    EXPECT_EQ(form.caption(), "KVL TalvioPos per POS Ingenico (scambio importo)");
    EXPECT_FALSE(form.visible());
}

// Positions of the resident window are free; only frames and texts are fixed.
const std::vector<ControlRow> ResidentRows = {
    {"Frame7", "", "Configurazioni", {}},
    {"chkEnableLog", "Frame7", "Abilita Log", {}},
    {"txtLogFileName", "Frame7", "c:\\LogTlvPos.txt", {}},
    {"txtConfFile", "Frame7", "C:\\Programmi\\KVL TalvioPos\\ConfigTlvPos.txt", {}},
    {"lblFileConf", "Frame7", "Path file di configurazione", {}},
    {"Frame4", "", "I / O Files", {}},
    {"Label4", "Frame4", "INPF:", {}},
    {"lblINPF2", "Frame4", "", {}},
    {"Label14", "Frame4", "OUTF:", {}},
    {"lblOUTF2", "Frame4", "", {}},
    {"Frame3", "", "Control", {}},
    {"Shape1", "Frame3", "", {}},
    {"lblTerminalId", "Frame3", "Terminal Id", {}},
    {"lblValTerminalId", "Frame3", "", {}},
    {"Frame2", "", "Tipo Connessione", {}},
    {"Label3", "Frame2", "Connesso", {}},
    {"ShapeDump", "Frame2", "", {}},
    {"lblTipo1", "Frame2", "TIPO:", {}},
    {"lblTipo2", "Frame2", "", {}},
    {"Frame1", "", "RS-232", {}},
    {"Label6", "Frame1", "PCOM:", {}},
    {"lblPCOM2", "Frame1", "", {}},
    {"Label8", "Frame1", "BAUD:", {}},
    {"lblBAUD2", "Frame1", "", {}},
    {"Label10", "Frame1", "STOP:", {}},
    {"lblSTOP2", "Frame1", "", {}},
    {"Label12", "Frame1", "BITS:", {}},
    {"lblBITS2", "Frame1", "", {}},
    {"Label2", "Frame1", "PARI:", {}},
    {"lblPARI2", "Frame1", "", {}},
    {"frameETH", "", "Rete ETH", {}},
    {"lblIPAD1", "frameETH", "IPAD:", {}},
    {"lblIPAD2", "frameETH", "", {}},
    {"lblPORT1", "frameETH", "PORT:", {}},
    {"lblPORT2", "frameETH", "", {}},
    {"Timer1", "", "", {}},
    {"m_File", "", "&File", {}},
    {"m_esci", "m_File", "T&ermina KvlTalvioPos", {}},
    {"Manuale", "", "&Manuale", {}},
    {"m_FileConfig", "", "File&Config", {}},
    {"m_help", "", "&?", {}},
    {"mInfo", "m_help", "&Informazioni  su KVL TalvioPos", {}},
};

class FrmWpos1TypeControl : public testing::TestWithParam<ControlRow> {};

TEST_P(FrmWpos1TypeControl, MatchesTheWindowTable) {
    FrmWpos1Type form;
    test::expectRow(form.controls(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, FrmWpos1TypeControl, testing::ValuesIn(ResidentRows),
                         [](const testing::TestParamInfo<ControlRow>& info) {
                             return info.param.name;
                         });

TEST(FrmWpos1Type, HoldsExactlyTheControlsOfTheTable) {
    FrmWpos1Type form;
    const std::vector<Control*> controls = form.controls();
    test::expectWellFormed(controls);
    EXPECT_EQ(controls.size(), ResidentRows.size());
}

TEST(FrmWpos1Type, IndicatorsStartRedLogOffTimerOff) {
    FrmWpos1Type form;
    EXPECT_EQ(form.Shape1.fillColour(), Colour::Red);
    EXPECT_EQ(form.ShapeDump.fillColour(), Colour::Red);
    EXPECT_EQ(form.chkEnableLog.value(), 0);
    EXPECT_FALSE(form.Timer1.enabled());
}

TEST(FrmWpos1Type, OnlyTheExitEntryIsADefault) {
    FrmWpos1Type form;
    for (const MenuEntry* entry : {&form.m_File, &form.m_esci, &form.Manuale, &form.m_FileConfig,
                                   &form.m_help, &form.mInfo}) {
        EXPECT_EQ(entry->isDefault(), entry == &form.m_esci) << entry->name();
    }
}

TEST(FrmWpos1Type, TrayRecordFixedFields) {
    FrmWpos1Type form;
    EXPECT_EQ(form.trayIcon.size, 88);
    EXPECT_EQ(form.trayIcon.iconId, 1);
    EXPECT_EQ(form.trayIcon.flags, 7);
    EXPECT_EQ(form.trayIcon.callbackMessage, 512);
}

} // namespace
} // namespace kvl
