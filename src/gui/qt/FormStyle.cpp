#include "gui/qt/FormStyle.h"

#include "console/form/FrmMain.h"

namespace kvl::qt {

FormStyle consoleStyle(FrmMain& form) {
    FormStyle style;
    style.answerBoxes.insert(form.txtEsito.name());
    for (const TextBox* box : form.answerFields())
        style.answerBoxes.insert(box->name());
    return style;
}

FormStyle aboutStyle() {
    FormStyle style;
    style.border = FormStyle::Border::FixedDialog;
    style.windowIcon = false;
    style.fonts["lblTitle"] = {true, 9.75};
    // The engraved separator: a grey line with a white one under it.
    style.lines = {{960, 2520, 7140, 0x808080, 1}, {960, 2535, 7200, 0xFFFFFF, 2}};
    style.defaultButton = "cmdOK";
    style.cancelButton = "cmdOK";
    return style;
}

FormStyle residentStyle() {
    FormStyle style;
    style.clientWidth = 7560;
    style.clientHeight = 4695;
    // Twips, as the console's: left, top, width, height; inside a frame
    // relative to the frame.
    style.positions = {
        {"Frame7", {120, 120, 7320, 1335}},         {"chkEnableLog", {120, 270, 1800, 285}},
        {"txtLogFileName", {2040, 270, 5160, 285}}, {"lblFileConf", {120, 675, 2400, 255}},
        {"txtConfFile", {120, 945, 7080, 285}},

        {"Frame4", {120, 1560, 7320, 975}},         {"Label4", {120, 300, 615, 255}},
        {"lblINPF2", {780, 300, 6420, 255}},        {"Label14", {120, 630, 615, 255}},
        {"lblOUTF2", {780, 630, 6420, 255}},

        {"Frame3", {120, 2640, 2355, 1095}},        {"Shape1", {120, 330, 375, 375}},
        {"lblTerminalId", {660, 300, 1575, 255}},   {"lblValTerminalId", {660, 630, 1575, 255}},

        {"Frame2", {2580, 2640, 2355, 1095}},       {"ShapeDump", {120, 330, 375, 375}},
        {"Label3", {660, 300, 1575, 255}},          {"lblTipo1", {660, 630, 615, 255}},
        {"lblTipo2", {1320, 630, 915, 255}},

        {"frameETH", {5040, 2640, 2400, 1095}},     {"lblIPAD1", {120, 300, 615, 255}},
        {"lblIPAD2", {780, 300, 1500, 255}},        {"lblPORT1", {120, 630, 615, 255}},
        {"lblPORT2", {780, 630, 1500, 255}},

        {"Frame1", {120, 3840, 7320, 735}},         {"Label6", {120, 330, 675, 255}},
        {"lblPCOM2", {795, 330, 600, 255}},         {"Label8", {1560, 330, 675, 255}},
        {"lblBAUD2", {2235, 330, 600, 255}},        {"Label10", {3000, 330, 675, 255}},
        {"lblSTOP2", {3675, 330, 600, 255}},        {"Label12", {4440, 330, 675, 255}},
        {"lblBITS2", {5115, 330, 600, 255}},        {"Label2", {5880, 330, 675, 255}},
        {"lblPARI2", {6555, 330, 600, 255}},
    };
    return style;
}

} // namespace kvl::qt
