#pragma once

#include "controls/Commands.h"
#include "controls/Form.h"
#include "controls/SimpleControls.h"

namespace kvl {

// The program's identity as the About box shows it.
struct ProgramVersion {
    static constexpr int major = KVL_VERSION_MAJOR;
    static constexpr int minor = KVL_VERSION_MINOR;
    static constexpr int revision = KVL_VERSION_REVISION;
};
inline const std::string ProgramDescription =
    "Programma per gestione Scambio Importo con POS Ingenico (compat. x Windows XP, VISTA / 7 / 8)";

// The About box.
class FrmAbout : public Form {
public:
    FrmAbout();

    Picture picIcon{"picIcon", {}, {120, 600, 720, 720}};
    Label lblTitle{"lblTitle", {}, {1050, 120, 6045, 360}, "Titolo applicazione"};
    Label lblVersion{"lblVersion", {}, {1050, 720, 5925, 585}, "Versione"};
    Label lblDescription{
        "lblDescription", {}, {1050, 1440, 6045, 1050}, "Descrizione applicazione"};
    Button cmdOK{"cmdOK", {}, {5880, 2760, 1260, 345}, "&OK"};

    // The load procedure: fills the title, version and description labels.
    void load();

    std::vector<Control*> controls() override;
};

} // namespace kvl
