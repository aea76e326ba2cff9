#include "terminal/TerminalProcedures.h"

#include "platform/RunTimeError.h"
#include "terminal/ConnectionSetup.h"
#include "terminal/OutcomePresentation.h"

#include <string>

namespace kvl {

namespace {

const std::string InvalidAmount = "Valore importo non valido";

// What tells one operation procedure from another.
struct OperationSteps {
    const char* label;        // caption of the failure box, empty when failures pass
    Operation operation;      // library entry point
    TextBox FrmMain::*amount; // amount field that must not be empty, or none
    short amountKind;         // request fill
    bool copiesTraceNumber;   // the void sends txtImporto as POSDATA.STAN too
};

// The operation is not over while its failure is shown: its caller reads the
// outcome fields afterwards, so the terminal stays held until the box closes.
void showOperationFailure(TerminalContext& terminal, const std::string& label,
                          const RunTimeError& failure) {
    const GuardedTerminalLibrary::Hold operationGoesOn = terminal.library.hold();
    showLibraryFailure(terminal, label, failure);
}

std::string runSteps(TerminalContext& terminal, const OperationSteps& steps) {
    FrmMain& form = terminal.frmMain;
    // The command handlers check the terminal with a status exchange just
    // before the operation, so the fields the ECR's outcome is made of may
    // still hold that exchange's "OK", transaction result and description.
    // Emptied first, only this operation's own answer can fill them: neither a
    // refusal of the checks below, nor a failure of the library calls, nor an
    // error code is reported to the ECR with the status exchange's success.
    form.txtEsito.setText("");
    form.txtEsitoTrans.setText("");
    form.txtDescrKO.setText("");
    std::string problem = VerificaIndirizzoEth(terminal);
    if (!problem.empty())
        return problem;
    if (steps.amount && (form.*steps.amount).text().empty())
        return InvalidAmount;
    if (steps.copiesTraceNumber)
        terminal.records.posData.STAN.store(form.txtImporto.text());

    InizializzaConnessione(terminal,
                           terminal.params.ConnectionType == CommunicationParameters::Ethernet);
    PreparaRichiesta(terminal, steps.amountKind);
    const short resultCode =
        terminal.library.call(steps.operation, terminal.records.request, terminal.records.posData);
    MostraEsito(terminal, resultCode);
    return {};
}

// A failure can only come from the library, after every check has passed, so
// the text so far is empty then.
std::string runOperation(TerminalContext& terminal, const OperationSteps& steps) {
    if (*steps.label == '\0')
        return runSteps(terminal, steps);
    try {
        return runSteps(terminal, steps);
    } catch (const RunTimeError& failure) {
        showOperationFailure(terminal, steps.label, failure);
        return {};
    }
}

} // namespace

void showLibraryFailure(TerminalContext& terminal, const std::string& label,
                        const RunTimeError& failure) {
    terminal.messages.show(label + failure.description() + "," + std::to_string(failure.number()),
                           ProgramTitle, MessageButtons::Ok, MessageIcon::None);
}

std::string KVL_EseguiPagamento(TerminalContext& terminal) {
    return runOperation(terminal, {"KVL_EseguiPagamento:", Operation::Payment, &FrmMain::txtImporto,
                                   AmountKind::Payment, false});
}

std::string KVL_EseguiPagamentoEsteso(TerminalContext& terminal) {
    return runOperation(terminal, {"KVL_EseguiPagamentoEsteso:", Operation::PaymentExt,
                                   &FrmMain::txtImporto, AmountKind::Payment, false});
}

std::string KVL_Accredito(TerminalContext& terminal) {
    return runOperation(terminal, {"", Operation::Refund, &FrmMain::txtImportoAccredito,
                                   AmountKind::Credit, false});
}

std::string KVL_Storno(TerminalContext& terminal) {
    return runOperation(terminal, {"KVL_Storno:", Operation::Void, &FrmMain::txtImporto,
                                   AmountKind::Payment, true});
}

std::string KVL_Totali(TerminalContext& terminal) {
    return runOperation(
        terminal, {"KVL_Totali:", Operation::TerminalBalance, nullptr, AmountKind::None, false});
}

std::string KVL_Chiusura(TerminalContext& terminal) {
    return runOperation(terminal,
                        {"KVL_Chiusura:", Operation::Closure, nullptr, AmountKind::None, false});
}

std::string KVL_Status(TerminalContext& terminal) {
    try {
        std::string problem = VerificaIndirizzoEth(terminal);
        if (!problem.empty())
            return problem;
        FrmMain& form = terminal.frmMain;
        InizializzaConnessione(terminal, form.cmbConnessione.listIndex() == 0);
        // The request goes as the last operation left it.
        const short resultCode =
            terminal.library.IAE17AX_Status(terminal.records.request, terminal.records.posData);
        MostraEsito(terminal, resultCode);
        if (form.txtEsito.text() == "OK" || resultCode == ResultCode::Ok)
            return {};
        return form.txtEsito.text();
    } catch (const RunTimeError& failure) {
        showOperationFailure(terminal, "KVL_Status:", failure);
        return {};
    }
}

} // namespace kvl
