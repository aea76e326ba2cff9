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

std::string VerificaIndirizzoEth(Program& program) {
    if (program.params.ConnectionType != CommunicationParameters::Ethernet)
        return {};
    const EthInitRecord& record = program.records.ethInit;
    if (!IndirizzoIPValido(record.IpAddress.text()))
        return "Indirizzo IP non valido";
    const std::optional<long long> port = text::numberValue(record.Port.text());
    if (!port || *port == 0 || *port > HighestPort)
        return "Porta Eth non valida";
    return {};
}

void InizializzaConnessione(Program& program, bool ethernet) {
    FrmMain& form = program.frmMain;
    if (ethernet) {
        EthInitRecord& record = program.records.ethInit;
        record.IpAddress.store(form.txtIP.text());
        record.Port.store(form.txtPorta.text());
        program.library.IAE17AX_InitEth(record);
        return;
    }
    Rs232InitRecord& record = program.records.rs232Init;
    record.ComPort.store(form.cmbCOM.text());
    record.BaudCode.store(std::to_string(form.cmbBaud.listIndex()));
    record.DataBitsCode.store(std::to_string(form.cmbDati.listIndex()));
    record.ParityCode.store(std::to_string(form.cmbParity.listIndex()));
    record.StopBitsCode.store(std::to_string(form.cmbStop.listIndex()));
    program.library.IAE17AX_InitRS232(record);
}

} // namespace kvl
