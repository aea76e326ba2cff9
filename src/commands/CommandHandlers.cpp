#include "commands/CommandHandlers.h"

#include "commands/ParameterScan.h"
#include "platform/RunTimeError.h"
#include "platform/Text.h"
#include "terminal/OutcomePresentation.h"
#include "terminal/TerminalProcedures.h"

namespace kvl {

namespace {

const std::string MissingParameters = "Parametri mancanti";
const std::string NoConnection = "Connessione assente";
const std::string NotAvailable = "Funzione non disponibile";
const std::string InvalidAmount = "Valore importo non valido";

using OperationProcedure = std::string (*)(TerminalContext&);

// Runs an operation procedure. A run-time failure that escapes it (the credit
// procedure lets them through) must not read as success: the outcome fields
// still hold the "OK" of the status exchange just before, so they are emptied
// and the failure becomes the handler's text.
std::string runProcedure(CommandContext& commands, const char* label,
                         OperationProcedure procedure) {
    try {
        return procedure(commands.terminal);
    } catch (const RunTimeError& error) {
        PulisciEsito(commands.terminal.frmMain);
        return label + error.description() + "," + std::to_string(error.number());
    }
}

bool terminalAnswers(CommandContext& commands) {
    return KVL_Status(commands.terminal).empty();
}

// Selects the payment type the request holds; a value that is not an index of
// the list leaves the selection as it was.
void selectPaymentType(CommandContext& commands) {
    ComboBox& list = commands.terminal.frmMain.cmbPagamento;
    const auto index = text::numberValue(commands.terminal.records.request.PaymentType.text());
    if (index && *index >= 0 && *index < static_cast<long long>(list.items().size()))
        list.setListIndex(static_cast<int>(*index));
}

// The values a payment-family line gives; each is already known to fit.
struct PaymentValues {
    std::optional<std::string> amount;
    std::optional<std::string> paymentType;
};

// Reads A (into Amount's width) and P from a line against the pattern. Returns
// the refusal text, or empty text with the values filled in.
std::string readPaymentValues(CommandContext& commands, const std::string& line,
                              std::string_view pattern, bool takesPaymentType,
                              PaymentValues& values) {
    const ParameterScan scan = scanParameters(line, pattern, commands.handlersEcrIdRequired);
    if (!scan.complete)
        return MissingParameters;
    for (const CommandParameter& parameter : scan.parameters) {
        if (parameter.letter == 'A') {
            values.amount = fitToWidth(parameter.value, decltype(PosRequest::Amount)::width);
            if (!values.amount)
                return InvalidAmount;
        } else if (parameter.letter == 'P' && takesPaymentType) {
            values.paymentType = parameter.value;
        }
    }
    return {};
}

std::string paymentCommand(CommandContext& commands, const std::string& line, const char* label,
                           OperationProcedure procedure) {
    PaymentValues values;
    const std::string refusal = readPaymentValues(commands, line, ",T,E,A,P", true, values);
    if (!refusal.empty())
        return refusal;
    PosRequest& request = commands.terminal.records.request;
    if (values.amount)
        request.Amount.store(*values.amount);
    if (values.paymentType)
        request.PaymentType.store(*values.paymentType);

    if (!terminalAnswers(commands))
        return NoConnection;

    FrmMain& form = commands.terminal.frmMain;
    form.txtTermId.setText(request.TerminalId.text());
    form.txtCassa.setText(request.CashRegisterId.text());
    form.txtImporto.setText(request.Amount.text());
    selectPaymentType(commands);
    return runProcedure(commands, label, procedure);
}

// Closure and totals take no parameters and need no ECR identifier.
std::string plainCommand(CommandContext& commands, const char* label,
                         OperationProcedure procedure) {
    if (!terminalAnswers(commands))
        return NoConnection;
    return runProcedure(commands, label, procedure);
}

} // namespace

short Massimo(short a, short b) {
    return a > b ? a : b;
}

std::string ComandoPagamento(CommandContext& commands, const std::string& line) {
    return paymentCommand(commands, line, "KVL_EseguiPagamento:", KVL_EseguiPagamento);
}

std::string ComandoPagamentoEsteso(CommandContext& commands, const std::string& line) {
    return paymentCommand(commands, line, "KVL_EseguiPagamentoEsteso:", KVL_EseguiPagamentoEsteso);
}

std::string ComandoAccredito(CommandContext& commands, const std::string& line) {
    PaymentValues values;
    const std::string refusal = readPaymentValues(commands, line, ",T,E,A", false, values);
    if (!refusal.empty())
        return refusal;
    PosRequest& request = commands.terminal.records.request;
    if (values.amount)
        request.Amount.store(*values.amount);

    if (!terminalAnswers(commands))
        return NoConnection;

    commands.terminal.frmMain.txtImportoAccredito.setText(request.Amount.text());
    return runProcedure(commands, "KVL_Accredito:", KVL_Accredito);
}

std::string ComandoStorno(CommandContext& commands, const std::string& line) {
    const ParameterScan scan = scanParameters(line, ",T,E,S", commands.handlersEcrIdRequired);
    if (!scan.complete)
        return MissingParameters;
    // The trace number comes as S, or as A; the later field wins.
    std::optional<std::string> stan;
    for (const CommandParameter& parameter : scan.parameters) {
        if (parameter.letter == 'S' || parameter.letter == 'A') {
            stan = fitToWidth(parameter.value, decltype(PosRequest::Stan)::width);
            if (!stan)
                return InvalidAmount;
        }
    }
    PosRequest& request = commands.terminal.records.request;
    if (stan)
        request.Stan.store(*stan);

    FrmMain& form = commands.terminal.frmMain;
    form.txtTermId.setText(request.TerminalId.text());
    form.txtCassa.setText(request.CashRegisterId.text());
    form.txtImporto.setText(request.Stan.text());

    if (!terminalAnswers(commands))
        return NoConnection;
    return runProcedure(commands, "KVL_Storno:", KVL_Storno);
}

std::string ComandoChiusura(CommandContext& commands, const std::string&) {
    return plainCommand(commands, "KVL_Chiusura:", KVL_Chiusura);
}

std::string ComandoTotali(CommandContext& commands, const std::string&) {
    return plainCommand(commands, "KVL_Totali:", KVL_Totali);
}

std::string ComandoPreautorizzazione(CommandContext&, const std::string&) {
    return NotAvailable;
}

std::string ComandoPreautIntegrativa(CommandContext&, const std::string&) {
    return NotAvailable;
}

std::string ComandoPreautChiusura(CommandContext&, const std::string&) {
    return NotAvailable;
}

std::string ComandoStatus(CommandContext& commands, const std::string&) {
    return KVL_Status(commands.terminal);
}

} // namespace kvl
