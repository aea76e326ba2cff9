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

void showFailure(Program& program, const std::string& label, const RunTimeError& failure) {
    program.platform.messages.show(label + failure.description() + "," +
                                       std::to_string(failure.number()),
                                   ProgramTitle, MessageButtons::Ok, MessageIcon::None);
}

std::string runSteps(Program& program, const OperationSteps& steps) {
    FrmMain& form = program.frmMain;
    // The command handlers check the terminal with a status exchange just
    // before the operation, so the fields the ECR's outcome is made of may
    // still hold that exchange's "OK", transaction result and description.
    // Emptied first, only this operation's own answer can fill them: neither a
    // refusal of the checks below, nor a failure of the library calls, nor an
    // error code is reported to the ECR with the status exchange's success.
    form.txtEsito.setText("");
    form.txtEsitoTrans.setText("");
    form.txtDescrKO.setText("");
    std::string problem = VerificaIndirizzoEth(program);
    if (!problem.empty())
        return problem;
    if (steps.amount && (form.*steps.amount).text().empty())
        return InvalidAmount;
    if (steps.copiesTraceNumber)
        program.records.posData.STAN.store(form.txtImporto.text());

    InizializzaConnessione(program,
                           program.params.ConnectionType == CommunicationParameters::Ethernet);
    PreparaRichiesta(program, steps.amountKind);
    const short resultCode =
        program.library.call(steps.operation, program.records.request, program.records.posData);
    MostraEsito(program, resultCode);
    return {};
}

// A failure can only come from the library, after every check has passed, so
// the text so far is empty then.
std::string runOperation(Program& program, const OperationSteps& steps) {
    if (*steps.label == '\0')
        return runSteps(program, steps);
    try {
        return runSteps(program, steps);
    } catch (const RunTimeError& failure) {
        showFailure(program, steps.label, failure);
        return {};
    }
}

} // namespace

std::string KVL_EseguiPagamento(Program& program) {
    return runOperation(program, {"KVL_EseguiPagamento:", Operation::Payment, &FrmMain::txtImporto,
                                  AmountKind::Payment, false});
}

std::string KVL_EseguiPagamentoEsteso(Program& program) {
    return runOperation(program, {"KVL_EseguiPagamentoEsteso:", Operation::PaymentExt,
                                  &FrmMain::txtImporto, AmountKind::Payment, false});
}

std::string KVL_Accredito(Program& program) {
    return runOperation(
        program, {"", Operation::Refund, &FrmMain::txtImportoAccredito, AmountKind::Credit, false});
}

std::string KVL_Storno(Program& program) {
    return runOperation(
        program, {"KVL_Storno:", Operation::Void, &FrmMain::txtImporto, AmountKind::Payment, true});
}

std::string KVL_Totali(Program& program) {
    return runOperation(
        program, {"KVL_Totali:", Operation::TerminalBalance, nullptr, AmountKind::None, false});
}

std::string KVL_Chiusura(Program& program) {
    return runOperation(program,
                        {"KVL_Chiusura:", Operation::Closure, nullptr, AmountKind::None, false});
}

std::string KVL_Status(Program& program) {
    try {
        std::string problem = VerificaIndirizzoEth(program);
        if (!problem.empty())
            return problem;
        FrmMain& form = program.frmMain;
        InizializzaConnessione(program, form.cmbConnessione.listIndex() == 0);
        // The request goes as the last operation left it.
        const short resultCode =
            program.library.IAE17AX_Status(program.records.request, program.records.posData);
        MostraEsito(program, resultCode);
        if (form.txtEsito.text() == "OK" || resultCode == ResultCode::Ok)
            return {};
        return form.txtEsito.text();
    } catch (const RunTimeError& failure) {
        showFailure(program, "KVL_Status:", failure);
        return {};
    }
}

} // namespace kvl
