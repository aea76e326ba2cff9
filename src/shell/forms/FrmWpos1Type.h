#pragma once

#include "controls/Commands.h"
#include "controls/Form.h"
#include "controls/SimpleControls.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"
#include "platform/TrayIcon.h"

#include <vector>

namespace kvl {

// The resident window: configuration in use, the two indicator shapes, the
// polling timer and the menus. Positions are not part of its contract; its
// controls carry only their frame.
class FrmWpos1Type : public Form {
public:
    FrmWpos1Type();

    Frame Frame7{"Frame7", {}, {}, "Configurazioni"};
    CheckBox chkEnableLog{"chkEnableLog", "Frame7", {}, "Abilita Log"};
    TextBox txtLogFileName{"txtLogFileName", "Frame7", {}, "c:\\LogTlvPos.txt"};
    TextBox txtConfFile{
        "txtConfFile", "Frame7", {}, "C:\\Programmi\\KVL TalvioPos\\ConfigTlvPos.txt"};
    Label lblFileConf{"lblFileConf", "Frame7", {}, "Path file di configurazione"};

    Frame Frame4{"Frame4", {}, {}, "I / O Files"};
    Label Label4{"Label4", "Frame4", {}, "INPF:"};
    Label lblINPF2{"lblINPF2", "Frame4", {}, ""};
    Label Label14{"Label14", "Frame4", {}, "OUTF:"};
    Label lblOUTF2{"lblOUTF2", "Frame4", {}, ""};

    Frame Frame3{"Frame3", {}, {}, "Control"};
    Shape Shape1{"Shape1", "Frame3", {}, Colour::Red};
    Label lblTerminalId{"lblTerminalId", "Frame3", {}, "Terminal Id"};
    Label lblValTerminalId{"lblValTerminalId", "Frame3", {}, ""};

    Frame Frame2{"Frame2", {}, {}, "Tipo Connessione"};
    Label Label3{"Label3", "Frame2", {}, "Connesso"};
    Shape ShapeDump{"ShapeDump", "Frame2", {}, Colour::Red};
    Label lblTipo1{"lblTipo1", "Frame2", {}, "TIPO:"};
    Label lblTipo2{"lblTipo2", "Frame2", {}, ""};

    Frame Frame1{"Frame1", {}, {}, "RS-232"};
    Label Label6{"Label6", "Frame1", {}, "PCOM:"};
    Label lblPCOM2{"lblPCOM2", "Frame1", {}, ""};
    Label Label8{"Label8", "Frame1", {}, "BAUD:"};
    Label lblBAUD2{"lblBAUD2", "Frame1", {}, ""};
    Label Label10{"Label10", "Frame1", {}, "STOP:"};
    Label lblSTOP2{"lblSTOP2", "Frame1", {}, ""};
    Label Label12{"Label12", "Frame1", {}, "BITS:"};
    Label lblBITS2{"lblBITS2", "Frame1", {}, ""};
    Label Label2{"Label2", "Frame1", {}, "PARI:"};
    Label lblPARI2{"lblPARI2", "Frame1", {}, ""};

    Frame frameETH{"frameETH", {}, {}, "Rete ETH"};
    Label lblIPAD1{"lblIPAD1", "frameETH", {}, "IPAD:"};
    Label lblIPAD2{"lblIPAD2", "frameETH", {}, ""};
    Label lblPORT1{"lblPORT1", "frameETH", {}, "PORT:"};
    Label lblPORT2{"lblPORT2", "frameETH", {}, ""};

    Timer Timer1{"Timer1"};

    MenuEntry m_File{"m_File", {}, "&File"};
    MenuEntry m_esci{"m_esci", "m_File", "T&ermina KvlTalvioPos"};
    MenuEntry Manuale{"Manuale", {}, "&Manuale"};
    MenuEntry m_FileConfig{"m_FileConfig", {}, "File&Config"};
    MenuEntry m_help{"m_help", {}, "&?"};
    MenuEntry mInfo{"mInfo", "m_help", "&Informazioni  su KVL TalvioPos"};

    // The tray icon record, filled by the resident start-up and kept for the
    // life of the process.
    NotifyIconData trayIcon;

    std::vector<Control*> controls() override;
};

} // namespace kvl
