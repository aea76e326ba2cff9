#include "app/ConsoleSetup.h"

#include "platform/StepGuard.h"
#include "platform/Text.h"

#include <optional>

namespace kvl {

namespace {

// The value of a line-setting code, nullopt when it is not a number.
std::optional<long long> codeValue(const std::string& field) {
    return text::numberValue(text::trim(field));
}

// Selects an entry by index; an index off the list leaves it as it was.
void selectIndex(ComboBox& list, long long index) {
    if (index < -1 || index >= static_cast<long long>(list.items().size()))
        return;
    skipOnFailure([&] { list.setListIndex(static_cast<int>(index)); });
}

void selectCode(ComboBox& list, const std::string& field) {
    if (const auto code = codeValue(field))
        selectIndex(list, *code);
}

} // namespace

void giveInitialListEntries(FrmMain& form) {
    form.cmbConnessione.setListIndex(1);
    form.cmbCOM.setListIndex(2);
    form.cmbBaud.setListIndex(4);
    form.cmbParity.setListIndex(0);
    form.cmbDati.setListIndex(1);
    form.cmbStop.setListIndex(0);
    form.cmbPagamento.setListIndex(0);
    form.cmbPreautorizzazione.setListIndex(0);
}

void showLibraryVersion(TerminalContext& terminal) {
    VersionBuffer version;
    version.fill(' ');
    terminal.library.IAE17AX_GetVersion(version);
    terminal.frmMain.DllVersion.setCaption(std::string(version.data(), version.size()));
}

long long comPortNumber(const Rs232InitRecord& record) {
    // The configuration stores the number ("3"); a connection set-up since
    // then has stored the port's name ("COM3") in the same field.
    std::string port = text::removeAll(text::upToNul(record.ComPort.text()), ' ');
    if (text::findIgnoringCase(port, "COM") == 0)
        port.erase(0, 3);
    return text::leadingNumber(port);
}

void selectLineSettings(TerminalContext& terminal) {
    FrmMain& form = terminal.frmMain;
    const Rs232InitRecord& rs232 = terminal.records.rs232Init;

    // A field never written holds NULs: no port given.
    const std::string comPort = text::trim(text::upToNul(rs232.ComPort.text()));
    if (comPort.empty()) {
        form.cmbCOM.setListIndex(-1);
    } else if (const auto number = text::numberValue(comPort)) {
        // COM n is entry n - 1, so 0 selects nothing.
        if (*number >= 0)
            selectIndex(form.cmbCOM, *number - 1);
    }

    selectCode(form.cmbBaud, rs232.BaudCode.text());
    selectCode(form.cmbDati, rs232.DataBitsCode.text());
    selectCode(form.cmbParity, rs232.ParityCode.text());
    selectCode(form.cmbStop, rs232.StopBitsCode.text());

    form.cmbConnessione.setListIndex(
        terminal.params.ConnectionType == CommunicationParameters::Ethernet ? 0 : 1);
}

} // namespace kvl
