#include "console/ConsoleOperations.h"

#include "platform/RunTimeError.h"
#include "terminal/ConnectionSetup.h"
#include "terminal/OutcomePresentation.h"
#include "terminal/TerminalProcedures.h"

#include <optional>
#include <string>
#include <vector>

namespace kvl {

namespace {

// A field that must not be empty, and what the operator is told when it is.
struct RequiredField {
    TextBox FrmMain::*field;
    const char* message;
};

const RequiredField PaymentAmount{&FrmMain::txtImporto,
                                  "Attenzione il campo Importo deve essere compilato"};
const RequiredField CreditAmount{&FrmMain::txtImportoAccredito,
                                 "Attenzione il campo Importo Accredito deve essere compilato"};
const RequiredField PreauthorizationAmount{
    &FrmMain::txtImportoPreAut,
    "Attenzione il campo Importo Preautorizzazione deve essere compilato"};
const RequiredField PreauthorizationCode{
    &FrmMain::txtCodicePreautorizzazione,
    "Attenzione il campo Codice Preautorizzazione deve essere compilato"};

// What tells one button's operation from another.
struct ConsoleOperation {
    const char* label; // caption of the failure box
    std::vector<RequiredField> ownChecks;
    std::optional<short> amountKind; // none: the request goes as it stands
    bool sendsOneCent;               // Amount "1" whatever the field holds
    Operation operation;
};

// The first empty required field's message in the "Attenzione" box; false
// when one was empty.
bool ownChecksPass(TerminalContext& terminal, const std::vector<RequiredField>& checks) {
    for (const RequiredField& check : checks) {
        if ((terminal.frmMain.*check.field).text().empty()) {
            terminal.messages.show(check.message, AttentionTitle, MessageButtons::Ok,
                                   MessageIcon::Critical);
            return false;
        }
    }
    return true;
}

void exchange(TerminalContext& terminal, const ConsoleOperation& operation) {
    FrmMain& form = terminal.frmMain;
    // Index 0 is Ethernet; any other, none selected included, the serial line.
    // The set-up's own result is not looked at: the operation's tells.
    InizializzaConnessione(terminal, form.cmbConnessione.listIndex() == 0);
    if (operation.amountKind) {
        PreparaRichiesta(terminal, *operation.amountKind);
        if (operation.sendsOneCent)
            terminal.records.request.Amount.store("1");
    }
    const short resultCode = terminal.library.call(operation.operation, terminal.records.request,
                                                   terminal.records.posData);
    MostraEsito(terminal, resultCode);
}

void runConsoleOperation(ConsoleContext& console, const ConsoleOperation& operation) {
    TerminalContext& terminal = console.terminal;
    // Another exchange is under way and events let this click through: its
    // answer must not be overwritten, and the line is not free.
    if (terminal.library.busy())
        return;

    FrmMain& form = terminal.frmMain;
    PulisciEsito(form);
    if (!ControllaCampi(form, terminal.messages) || !ownChecksPass(terminal, operation.ownChecks))
        return;

    DisabilitaPulsanti(form);
    try {
        const GuardedTerminalLibrary::Hold exchanging = terminal.library.hold();
        exchange(terminal, operation);
    } catch (const RunTimeError& failure) {
        // The hold is gone: the outcome is complete, and while the operator
        // reads the box the service may answer the ECR.
        showLibraryFailure(terminal, operation.label, failure);
    }
    AbilitaPulsanti(form);
}

} // namespace

void btnPagamento_Click(ConsoleContext& console) {
    runConsoleOperation(
        console,
        {"btnPagamento_Click:", {PaymentAmount}, AmountKind::Payment, true, Operation::Payment});
}

void btnStorno_Click(ConsoleContext& console) {
    runConsoleOperation(
        console,
        {"btnStorno_Click:", {PaymentAmount}, AmountKind::Payment, false, Operation::Void});
}

void btnAccredito_Click(ConsoleContext& console) {
    runConsoleOperation(
        console,
        {"btnAccredito_Click:", {CreditAmount}, AmountKind::Credit, true, Operation::Refund});
}

void btnPreautorizzazione_Click(ConsoleContext& console) {
    runConsoleOperation(console, {"btnPreautorizzazione_Click:",
                                  {PreauthorizationAmount},
                                  AmountKind::Preauthorization,
                                  false,
                                  Operation::Preauthorization});
}

void btnIntegrativa_Click(ConsoleContext& console) {
    runConsoleOperation(console, {"btnIntegrativa_Click:",
                                  {PreauthorizationAmount, PreauthorizationCode},
                                  AmountKind::Preauthorization,
                                  false,
                                  Operation::PreauthorizationInt});
}

void btnPreautChiusura_Click(ConsoleContext& console) {
    runConsoleOperation(console, {"btnPreautChiusura_Click:",
                                  {PreauthorizationAmount, PreauthorizationCode},
                                  AmountKind::Preauthorization,
                                  false,
                                  Operation::PreauthorizationClose});
}

void btnTotali_Click(ConsoleContext& console) {
    runConsoleOperation(
        console, {"btnTotali_Click:", {}, AmountKind::None, false, Operation::TerminalBalance});
}

void btnChiusura_Click(ConsoleContext& console) {
    runConsoleOperation(console,
                        {"btnChiusura_Click:", {}, AmountKind::None, false, Operation::Closure});
}

void btnStatus_Click(ConsoleContext& console) {
    runConsoleOperation(console, {"btnStatus_Click:", {}, std::nullopt, false, Operation::Status});
}

void btnStornoPreautorizzazione_Click(ConsoleContext&) {}

} // namespace kvl
