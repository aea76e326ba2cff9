#include "terminal/ConnectionSetup.h"

#include "platform/Text.h"

#include <optional>
#include <string>
#include <vector>

namespace kvl {

namespace {

constexpr std::size_t AddressParts = 4;
constexpr long long HighestAddressPart = 255;
constexpr long long HighestPort = 9999;

} // namespace

bool IndirizzoIPValido(std::string_view text) {
    if (text.empty())
        return false;
    const std::vector<std::string> parts = text::split(text, '.');
    if (parts.size() < AddressParts)
        return false;
    // Only the first four parts are looked at, and a sign is allowed: the
    // check keeps out typing slips, not every malformed address.
    for (std::size_t i = 0; i < AddressParts; ++i) {
        const std::optional<long long> value = text::numberValue(parts[i]);
        if (!value || *value > HighestAddressPart)
            return false;
    }
    return true;
}

std::string VerificaIndirizzoEth(const TerminalContext& terminal) {
    if (terminal.params.ConnectionType != CommunicationParameters::Ethernet)
        return {};
    const EthInitRecord& record = terminal.records.ethInit;
    if (!IndirizzoIPValido(record.IpAddress.text()))
        return "Indirizzo IP non valido";
    const std::optional<long long> port = text::numberValue(record.Port.text());
    if (!port || *port == 0 || *port > HighestPort)
        return "Porta Eth non valida";
    return {};
}

void InizializzaConnessione(TerminalContext& terminal, bool ethernet) {
    FrmMain& form = terminal.frmMain;
    if (ethernet) {
        EthInitRecord& record = terminal.records.ethInit;
        record.IpAddress.store(form.txtIP.text());
        record.Port.store(form.txtPorta.text());
        terminal.library.IAE17AX_InitEth(record);
        return;
    }
    Rs232InitRecord& record = terminal.records.rs232Init;
    record.ComPort.store(form.cmbCOM.text());
    record.BaudCode.store(std::to_string(form.cmbBaud.listIndex()));
    record.DataBitsCode.store(std::to_string(form.cmbDati.listIndex()));
    record.ParityCode.store(std::to_string(form.cmbParity.listIndex()));
    record.StopBitsCode.store(std::to_string(form.cmbStop.listIndex()));
    terminal.library.IAE17AX_InitRS232(record);
}

} // namespace kvl
