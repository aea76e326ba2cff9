#include "shell/FrmAbout.h"

#include "FormControlTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl {
namespace {

using test::ControlRow;

std::vector<Control*> controlsOf(FrmAbout& form) {
    return {&form.picIcon, &form.lblTitle, &form.lblVersion, &form.lblDescription, &form.cmdOK};
}

TEST(FrmAbout, FormCaptionAndSize) {
    FrmAbout form;
    EXPECT_EQ(form.name(), "frmAbout");
    EXPECT_EQ(form.caption(), "Informazioni su KVL TalvioPos (Ingenico)");
    EXPECT_EQ(form.clientWidth(), 7305);
    EXPECT_EQ(form.clientHeight(), 3255);
    EXPECT_FALSE(form.visible());
}

class FrmAboutBeforeLoad : public testing::TestWithParam<ControlRow> {};

TEST_P(FrmAboutBeforeLoad, ShowsTheDesignTexts) {
    FrmAbout form;
    test::expectRow(controlsOf(form), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrmAboutBeforeLoad,
    testing::Values(ControlRow{"picIcon", "", "", {120, 600, 720, 720}},
                    ControlRow{"lblTitle", "", "Titolo applicazione", {1050, 120, 6045, 360}},
                    ControlRow{"lblVersion", "", "Versione", {1050, 720, 5925, 585}},
                    ControlRow{
                        "lblDescription", "", "Descrizione applicazione", {1050, 1440, 6045, 1050}},
                    ControlRow{"cmdOK", "", "&OK", {5880, 2760, 1260, 345}}),
    [](const testing::TestParamInfo<ControlRow>& info) { return info.param.name; });

class FrmAboutAfterLoad : public testing::TestWithParam<ControlRow> {};

TEST_P(FrmAboutAfterLoad, ShowsTitleVersionAndDescription) {
    FrmAbout form;
    form.load();
    test::expectRow(controlsOf(form), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrmAboutAfterLoad,
    testing::Values(
        ControlRow{
            "lblTitle", "", "KvlTalvioPos per sistemi Windows 32/64 bit", {1050, 120, 6045, 360}},
        ControlRow{"lblVersion", "", "Versione 1.0.0.7", {1050, 720, 5925, 585}},
        ControlRow{"lblDescription",
                   "",
                   "Programma per gestione Scambio Importo con POS Ingenico (compat. x Windows XP, "
                   "VISTA / 7 / 8)",
                   {1050, 1440, 6045, 1050}},
        ControlRow{"cmdOK", "", "&OK", {5880, 2760, 1260, 345}}),
    [](const testing::TestParamInfo<ControlRow>& info) { return info.param.name; });

TEST(FrmAbout, LoadingTwiceGivesTheSameTexts) {
    FrmAbout form;
    form.load();
    form.load();
    EXPECT_EQ(form.lblVersion.caption(), "Versione 1.0.0.7");
    EXPECT_EQ(form.lblTitle.caption(), "KvlTalvioPos per sistemi Windows 32/64 bit");
}

} // namespace
} // namespace kvl
