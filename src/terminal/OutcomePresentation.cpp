#include "terminal/OutcomePresentation.h"

#include <array>
#include <string>
#include <vector>

namespace kvl {

namespace {

// The nine operation buttons, in the order they are locked and unlocked.
// btnStatus is not among them: the terminal can be asked for its status while
// an operation runs.
std::array<Button*, 9> operationButtons(FrmMain& form) {
    return {&form.btnChiusura,
            &form.btnAccredito,
            &form.btnIntegrativa,
            &form.btnPagamento,
            &form.btnPreautorizzazione,
            &form.btnPreautChiusura,
            &form.btnStorno,
            &form.btnStornoPreautorizzazione,
            &form.btnTotali};
}

void setButtonsEnabled(FrmMain& form, bool enabled) {
    for (Button* button : operationButtons(form))
        button->setEnabled(enabled);
    form.busyPointer = !enabled;
}

// The answer fields of POSDATA in the order of FrmMain::answerFields().
std::vector<std::string> answerTexts(const POSDATA& answer) {
    return {answer.TerminalId.text(),
            answer.AcquirerId.text(),
            answer.TransactionType.text(),
            answer.TransactionResult.text(),
            answer.KODescription.text(),
            answer.CardType.text(),
            answer.STAN.text(),
            answer.POSBalance.text(),
            answer.BankBalance.text(),
            answer.PAN.text(),
            answer.AuthorizationCode.text(),
            answer.OperationNumber.text(),
            answer.PreauthorizationCode.text(),
            answer.AmountAuth.text(),
            answer.ActionCode.text(),
            answer.DataTrs.text()};
}

} // namespace

std::string outcomeText(short resultCode) {
    switch (resultCode) {
    case ResultCode::Ok:
        return "OK";
    case ResultCode::ComError:
        return "COM ERROR";
    case ResultCode::ProtocolError:
        return "PROTOCOL ERROR";
    case ResultCode::TimeoutError:
        return "TIMEOUT ERROR";
    case ResultCode::NotSupported:
        return "FUNZIONE NON SUPPORTATA";
    default:
        return {};
    }
}

void PreparaRichiesta(TerminalContext& terminal, short amountKind) {
    FrmMain& form = terminal.frmMain;
    PosRequest& request = terminal.records.request;

    request.TerminalId.store(form.txtTerminale.text());
    request.CashRegisterId.store(form.txtCassa.text());

    switch (amountKind) {
    case AmountKind::Payment:
        request.Amount.store(form.txtImporto.text());
        break;
    case AmountKind::Credit:
        request.Amount.store(form.txtImportoAccredito.text());
        break;
    case AmountKind::Preauthorization:
        request.Amount.store(form.txtImportoPreAut.text());
        request.ContractText.store(form.txtContratto.text());
        break;
    default:
        request.Amount.store("");
        break;
    }

    if (form.cmbPagamento.text().empty())
        request.PaymentType.store("");
    else
        request.PaymentType.store(std::to_string(form.cmbPagamento.listIndex()));

    request.PreauthorizationCode.store(form.txtCodicePreautorizzazione.text());
}

void MostraEsito(TerminalContext& terminal, short resultCode) {
    FrmMain& form = terminal.frmMain;
    const std::string text = outcomeText(resultCode);
    if (!text.empty())
        form.txtEsito.setText(text);
    if (resultCode != ResultCode::Ok)
        return;

    const std::vector<TextBox*> fields = form.answerFields();
    const std::vector<std::string> texts = answerTexts(terminal.records.posData);
    for (std::size_t i = 0; i < fields.size() && i < texts.size(); ++i)
        fields[i]->setText(texts[i]);
}

void PulisciEsito(FrmMain& form) {
    form.txtEsito.setText("");
    for (TextBox* field : form.answerFields())
        field->setText("");
}

bool ControllaCampi(FrmMain& form, MessageBoxes& messages) {
    std::string problem;
    if (form.cmbConnessione.listIndex() == 0 && form.txtIP.text().empty())
        problem = "Attenzione il campo indirizzo IP deve essere compilato";
    else if (form.cmbConnessione.listIndex() == 0 && form.txtPorta.text().empty())
        problem = "Attenzione il campo Porta deve essere compilato";
    else if (form.txtTerminale.text().empty())
        problem = "Attenzione il campo Id Terminale deve essere compilato";
    else if (form.txtCassa.text().empty())
        problem = "Attenzione il campo Id Cassa deve essere compilato";

    if (problem.empty())
        return true;
    messages.show(problem, AttentionTitle, MessageButtons::Ok, MessageIcon::Critical);
    return false;
}

void DisabilitaPulsanti(FrmMain& form) {
    setButtonsEnabled(form, false);
}

void AbilitaPulsanti(FrmMain& form) {
    setButtonsEnabled(form, true);
}

} // namespace kvl
