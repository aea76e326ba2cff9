#include "Terminal.h"

#include "FieldText.h"
#include "Receipt.h"

#include <algorithm>

namespace sim {

using A = iae17::protocol::AnswerField;
using R = iae17::protocol::RequestField;

namespace {

constexpr long long LargestStan = 9999999; // seven digits

struct Card {
    const char* type;
    const char* pan;
    const char* name;
};

// The card a payment type stands for: "1" debit, "3" other, "4" special,
// anything else (automatic choice, credit, no special cards) credit.
Card cardFor(const std::string& paymentType) {
    if (paymentType == "1")
        return {"01", "6799********0019", "DEBITO"};
    if (paymentType == "3")
        return {"03", "6011********0004", "ALTRA"};
    if (paymentType == "4")
        return {"04", "7000********0009", "SPECIALE"};
    return {"02", "4539********0017", "CREDITO"};
}

const char* transactionType(Operation operation) {
    switch (operation) {
    case Operation::Payment:
        return "PAG";
    case Operation::PaymentExt:
        return "PAGE";
    case Operation::Refund:
        return "ACC";
    case Operation::Void:
        return "STO";
    case Operation::TerminalBalance:
        return "TOT";
    case Operation::Closure:
        return "CHI";
    case Operation::Status:
        return "STA";
    case Operation::Preauthorization:
        return "PRE";
    case Operation::PreauthorizationInt:
        return "INT";
    case Operation::PreauthorizationClose:
        return "CPR";
    }
    return "";
}

const char* receiptTitle(Operation operation) {
    switch (operation) {
    case Operation::Payment:
        return "PAGAMENTO";
    case Operation::PaymentExt:
        return "PAGAMENTO ESTESO";
    case Operation::Refund:
        return "ACCREDITO";
    case Operation::Void:
        return "STORNO";
    case Operation::TerminalBalance:
        return "TOTALI TERMINALE";
    case Operation::Closure:
        return "CHIUSURA CONTABILE";
    case Operation::Status:
        return "STATO TERMINALE";
    case Operation::Preauthorization:
        return "PREAUTORIZZAZIONE";
    case Operation::PreauthorizationInt:
        return "PREAUT. INTEGRATIVA";
    case Operation::PreauthorizationClose:
        return "CHIUSURA PREAUT.";
    }
    return "";
}

// Four digits of count, the sign and twelve digits of cents: 17 characters.
std::string balanceText(const Totals& totals) {
    const long long magnitude = totals.net < 0 ? -totals.net : totals.net;
    return zeroPadded(totals.count % 10000, 4) + (totals.net < 0 ? "-" : "+") +
           zeroPadded(magnitude % 1000000000000LL, 12);
}

std::string authorizationCode(long long stan) {
    return zeroPadded((stan * 7919 + 104729) % 1000000, 6);
}

} // namespace

struct Terminal::Context {
    Operation operation;
    const PosRequest& request;
    const PosData& given;
    Answer& answer;
    Receipt receipt;

    PosData& data() { return answer.data; }
    bool approved() const { return answer.verdict == Verdict::Approved; }
};

Terminal::Terminal(TerminalSettings settings) : settings_(std::move(settings)) {}

Answer Terminal::execute(Operation operation, const PosRequest& request, const PosData& given,
                         const LocalTime& now) {
    Answer answer;
    Context context{operation, request, given, answer, {}};
    PosData& data = answer.data;

    operationNumber_ = operationNumber_ % LargestStan + 1;
    answer.amount = fieldValue(request.text(R::Amount));
    data.store(A::TerminalId, settings_.terminalId);
    data.store(A::AcquirerId, settings_.acquirerId);
    data.store(A::TransactionType, transactionType(operation));
    data.store(A::OperationNumber, zeroPadded(operationNumber_, 7));
    data.store(A::DataTrs, compactDate(now));
    data.store(A::AmountEcho, answer.amount);

    Receipt& receipt = context.receipt;
    receipt.line("TERMINALE SIMULATO");
    receipt.line("TERM. " + settings_.terminalId + "  ACQ. " + settings_.acquirerId);
    const std::string cashRegister = printable(fieldValue(request.text(R::CashRegisterId)));
    if (!cashRegister.empty())
        receipt.line("CASSA " + cashRegister);
    receipt.line("DATA " + receiptDate(now) + "  ORA " + receiptTime(now));
    receipt.line(receiptTitle(operation));

    const std::string named = fieldValue(request.text(R::TerminalId));
    if (settings_.checkTerminalId && !named.empty() && named != settings_.terminalId) {
        answer.verdict = Verdict::WrongTerminal;
    } else {
        switch (operation) {
        case Operation::Payment:
        case Operation::PaymentExt:
            payment(context);
            break;
        case Operation::Refund:
            refund(context);
            break;
        case Operation::Void:
            voidTransaction(context);
            break;
        case Operation::TerminalBalance:
            totals(context, false);
            break;
        case Operation::Closure:
            totals(context, true);
            break;
        case Operation::Status:
            receipt.line("TERMINALE OPERATIVO");
            break;
        case Operation::Preauthorization:
            preauthorization(context);
            break;
        case Operation::PreauthorizationInt:
        case Operation::PreauthorizationClose:
            preauthorizationChange(context);
            break;
        }
    }

    const VerdictCodes codes = verdictCodes(answer.verdict);
    data.store(A::TransactionResult, codes.result);
    data.store(A::ActionCode, codes.action);
    data.store(A::KODescription, codes.description);
    if (context.approved()) {
        receipt.line("ESITO: APPROVATO");
    } else {
        receipt.line("ESITO: NEGATO");
        receipt.line(codes.description);
    }
    data.store(A::Ticket, receipt.text());
    return answer;
}

long long Terminal::issueStan() {
    stan_ = stan_ % LargestStan + 1;
    return stan_;
}

Verdict Terminal::amountVerdict(long long cents, bool withFunds) const {
    if (cents <= 0)
        return Verdict::InvalidAmount;
    if (withFunds && (cents % 100 == 99 || cents > settings_.limit))
        return Verdict::InsufficientFunds;
    return Verdict::Approved;
}

// Gives an approved card transaction its STAN and authorisation code and, when
// it moves money, books it in the journal and the totals.
void Terminal::approveCardTransaction(Context& context, long long amount, long long effect) {
    const long long stan = issueStan();
    PosData& data = context.data();
    context.answer.stan = zeroPadded(stan, 7);
    data.store(A::STAN, context.answer.stan);
    data.store(A::AuthorizationCode, authorizationCode(stan));
    data.store(A::AmountAuth, std::to_string(amount));
    context.receipt.line("STAN " + context.answer.stan + "  AUT. " + authorizationCode(stan));
    if (effect != 0) {
        journal_.push_back({stan, context.operation, amount, effect, false});
        totals_.count += 1;
        totals_.net += effect;
    }
}

namespace {

// Shows the card and the amount of a card transaction; nullopt when the
// amount is not a number of cents.
std::optional<long long> cardAndAmount(PosData& data, Receipt& receipt, const PosRequest& request,
                                       const std::string& amount) {
    const Card card = cardFor(fieldValue(request.text(R::PaymentType)));
    data.store(A::CardType, card.type);
    data.store(A::PAN, card.pan);
    receipt.line(std::string("CARTA ") + card.name + " " + card.pan);
    const std::optional<long long> cents = digitsValue(amount);
    if (cents)
        receipt.line("IMPORTO EUR " + euros(*cents));
    return cents;
}

} // namespace

void Terminal::payment(Context& context) {
    const auto cents =
        cardAndAmount(context.data(), context.receipt, context.request, context.answer.amount);
    context.answer.verdict = cents ? amountVerdict(*cents, true) : Verdict::InvalidAmount;
    if (context.approved())
        approveCardTransaction(context, *cents, *cents);
}

void Terminal::refund(Context& context) {
    const auto cents =
        cardAndAmount(context.data(), context.receipt, context.request, context.answer.amount);
    context.answer.verdict = cents ? amountVerdict(*cents, false) : Verdict::InvalidAmount;
    if (context.approved())
        approveCardTransaction(context, *cents, -*cents);
}

// The trace number to void travels in the answer record's STAN field; a
// request that leaves it empty may name it in its own Stan field.
void Terminal::voidTransaction(Context& context) {
    std::string named = fieldValue(context.given.text(A::STAN));
    if (named.empty())
        named = fieldValue(context.request.text(R::Stan));
    context.receipt.line("STAN ORIGINALE " + printable(named));

    const std::optional<long long> stan = digitsValue(named);
    const auto entry = std::find_if(journal_.rbegin(), journal_.rend(),
                                    [&](const JournalEntry& e) { return stan && e.stan == *stan; });
    if (entry == journal_.rend()) {
        context.answer.verdict = Verdict::StanNotFound;
        return;
    }
    if (entry->voided) {
        context.answer.verdict = Verdict::AlreadyVoided;
        return;
    }
    entry->voided = true;
    const long long amount = entry->amount;
    const long long effect = entry->effect;
    context.receipt.line("IMPORTO EUR " + euros(amount));
    const long long voidStan = issueStan();
    context.answer.stan = zeroPadded(voidStan, 7);
    context.data().store(A::STAN, context.answer.stan);
    context.data().store(A::AuthorizationCode, authorizationCode(voidStan));
    context.data().store(A::AmountAuth, std::to_string(amount));
    context.receipt.line("STAN " + context.answer.stan + "  AUT. " + authorizationCode(voidStan));
    totals_.count += 1;
    totals_.net -= effect;
}

void Terminal::totals(Context& context, bool closing) {
    const std::string balance = balanceText(totals_);
    context.data().store(A::POSBalance, balance);
    context.data().store(A::BankBalance, balance);
    context.receipt.line("OPERAZIONI " + std::to_string(totals_.count));
    context.receipt.line("TOTALE EUR " + euros(totals_.net));
    if (closing) {
        totals_ = Totals{};
        journal_.clear();
        context.receipt.line("TOTALI AZZERATI");
    }
}

void Terminal::preauthorization(Context& context) {
    const auto cents =
        cardAndAmount(context.data(), context.receipt, context.request, context.answer.amount);
    context.answer.verdict = cents ? amountVerdict(*cents, true) : Verdict::InvalidAmount;
    if (!context.approved())
        return;
    approveCardTransaction(context, *cents, 0);
    const std::string code = "PA" + zeroPadded(stan_, 8);
    holds_[code] = *cents;
    context.data().store(A::PreauthorizationCode, code);
    context.receipt.line("CODICE PREAUT. " + code);
}

// A supplementary preauthorisation adds to the amount held; a closing charges
// up to that amount and releases the hold.
void Terminal::preauthorizationChange(Context& context) {
    const std::string code = fieldValue(context.request.text(R::PreauthorizationCode));
    context.data().store(A::PreauthorizationCode, code);
    context.receipt.line("CODICE PREAUT. " + printable(code));
    const bool closing = context.operation == Operation::PreauthorizationClose;
    const auto cents =
        cardAndAmount(context.data(), context.receipt, context.request, context.answer.amount);
    const auto hold = holds_.find(code);
    if (hold == holds_.end()) {
        context.answer.verdict = Verdict::PreauthorizationNotFound;
        return;
    }
    context.answer.verdict = cents ? amountVerdict(*cents, !closing) : Verdict::InvalidAmount;
    if (closing && context.approved() && *cents > hold->second)
        context.answer.verdict = Verdict::InvalidAmount;
    if (!context.approved())
        return;
    if (closing) {
        approveCardTransaction(context, *cents, *cents);
        holds_.erase(hold);
    } else {
        hold->second += *cents;
        approveCardTransaction(context, hold->second, 0);
    }
}

} // namespace sim
