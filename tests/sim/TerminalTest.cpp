#include "Terminal.h"

#include "FieldText.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

const LocalTime Noon{2024, 5, 17, 12, 30, 5, 0};

kvl::PosRequest request(const std::string& amount, const std::string& paymentType = "0") {
    kvl::PosRequest request;
    request.Amount.store(amount);
    request.PaymentType.store(paymentType);
    request.CashRegisterId.store("CASSA01");
    return request;
}

// A terminal with a short limit so that the decline rules are easy to reach.
class TerminalTest : public ::testing::Test {
protected:
    TerminalSettings settings() {
        TerminalSettings settings;
        settings.limit = 100000;
        return settings;
    }

    Answer run(Operation operation, const kvl::PosRequest& request,
               const kvl::POSDATA& given = {}) {
        return terminal.execute(operation, request, given, Noon);
    }

    Answer pay(const std::string& amount) { return run(Operation::Payment, request(amount)); }

    Answer voidStan(const std::string& stan) {
        kvl::POSDATA given;
        given.STAN.store(stan);
        return run(Operation::Void, request(stan), given);
    }

    Terminal terminal{settings()};
};

TEST_F(TerminalTest, ApprovedPaymentFillsEveryFieldBlankPadded) {
    const Answer answer = pay("1234");
    const kvl::POSDATA& data = answer.data;

    EXPECT_EQ(answer.verdict, Verdict::Approved);
    EXPECT_EQ(data.TerminalId.text(), "12345678 ");
    EXPECT_EQ(data.AcquirerId.text(), "000000000001");
    EXPECT_EQ(data.TransactionType.text(), "PAG ");
    EXPECT_EQ(data.TransactionResult.text(), "00 ");
    EXPECT_EQ(data.KODescription.text(), std::string(25, ' '));
    EXPECT_EQ(data.CardType.text(), "02");
    EXPECT_EQ(data.STAN.text(), "0000001");
    EXPECT_EQ(data.POSBalance.text(), std::string(17, ' '));
    EXPECT_EQ(data.PAN.text(), "4539********0017    ");
    EXPECT_EQ(data.AuthorizationCode.text().substr(6), " ");
    EXPECT_EQ(data.OperationNumber.text(), "0000001");
    EXPECT_EQ(data.AmountAuth.text(), "1234     ");
    EXPECT_EQ(data.PreauthorizationCode.text(), std::string(10, ' '));
    EXPECT_EQ(data.ActionCode.text(), "000 ");
    EXPECT_EQ(data.DataTrs.text(), "20240517");
    EXPECT_EQ(data.AmountEcho.text(), "1234     ");
    // No field is left holding NULs, the receipt's padding included.
    kvl::POSDATA copy = answer.data;
    const auto image = kvl::packImage(copy);
    EXPECT_EQ(std::string(image.data(), image.size()).find('\0'), std::string::npos);
}

TEST_F(TerminalTest, ReceiptLinesEndWithCrLfAndShowThePayment) {
    const std::string ticket = fieldValue(pay("1234").data.Ticket.text());
    EXPECT_EQ(ticket, "TERMINALE SIMULATO\r\n"
                      "TERM. 12345678  ACQ. 000000000001\r\n"
                      "CASSA CASSA01\r\n"
                      "DATA 17/05/2024  ORA 12:30\r\n"
                      "PAGAMENTO\r\n"
                      "CARTA CREDITO 4539********0017\r\n"
                      "IMPORTO EUR 12,34\r\n"
                      "STAN 0000001  AUT. 112648\r\n"
                      "ESITO: APPROVATO\r\n");
}

TEST_F(TerminalTest, CashRegisterWithLineBreaksCannotBreakTheReceipt) {
    kvl::PosRequest sneaky = request("100");
    sneaky.CashRegisterId.store("A\r\nB");
    const std::string ticket = fieldValue(run(Operation::Payment, sneaky).data.Ticket.text());
    EXPECT_NE(ticket.find("CASSA A  B\r\n"), std::string::npos);
}

struct DeclineCase {
    std::string amount;
    std::string result;
    std::string description;
};

class PaymentDeclineTest : public TerminalTest,
                           public ::testing::WithParamInterface<DeclineCase> {};

TEST_P(PaymentDeclineTest, DeclinesWithoutStanOrTotals) {
    const Answer answer = pay(GetParam().amount);
    EXPECT_EQ(answer.data.TransactionResult.text(), GetParam().result + " ");
    EXPECT_EQ(fieldValue(answer.data.KODescription.text()), GetParam().description);
    EXPECT_EQ(answer.data.STAN.text(), std::string(7, ' '));
    EXPECT_EQ(answer.data.AmountAuth.text(), std::string(9, ' '));
    EXPECT_NE(answer.data.Ticket.text().find("ESITO: NEGATO\r\n" + GetParam().description + "\r\n"),
              std::string::npos);
    EXPECT_EQ(terminal.totals().count, 0);
    EXPECT_TRUE(terminal.journal().empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, PaymentDeclineTest,
                         ::testing::Values(DeclineCase{"0", "13", "IMPORTO NON VALIDO"},
                                           DeclineCase{"000", "13", "IMPORTO NON VALIDO"},
                                           DeclineCase{"", "13", "IMPORTO NON VALIDO"},
                                           DeclineCase{"12A", "13", "IMPORTO NON VALIDO"},
                                           DeclineCase{"-100", "13", "IMPORTO NON VALIDO"},
                                           DeclineCase{"1 0", "13", "IMPORTO NON VALIDO"},
                                           DeclineCase{"1099", "51", "FONDI INSUFFICIENTI"},
                                           DeclineCase{"99", "51", "FONDI INSUFFICIENTI"},
                                           DeclineCase{"100001", "51", "FONDI INSUFFICIENTI"}));

TEST_F(TerminalTest, AmountAtTheLimitIsApproved) {
    EXPECT_EQ(pay("100000").verdict, Verdict::Approved);
}

TEST_F(TerminalTest, AmountFieldOfNulsIsDeclinedAsInvalid) {
    kvl::PosRequest untouched; // fields never written hold NULs
    EXPECT_EQ(run(Operation::Payment, untouched).verdict, Verdict::InvalidAmount);
}

TEST_F(TerminalTest, StanIncreasesWithEachApprovedTransactionOnly) {
    EXPECT_EQ(pay("100").stan, "0000001");
    EXPECT_EQ(pay("199").stan, "");
    EXPECT_EQ(run(Operation::Status, request("")).stan, "");
    EXPECT_EQ(run(Operation::Refund, request("50")).stan, "0000002");
    const Answer third = pay("300");
    EXPECT_EQ(third.stan, "0000003");
    EXPECT_EQ(third.data.OperationNumber.text(), "0000005");
}

TEST_F(TerminalTest, PaymentTypeChoosesTheCard) {
    EXPECT_EQ(run(Operation::Payment, request("100", "1")).data.CardType.text(), "01");
    EXPECT_EQ(run(Operation::Payment, request("100", "2")).data.CardType.text(), "02");
    EXPECT_EQ(run(Operation::Payment, request("100", "3")).data.CardType.text(), "03");
    EXPECT_EQ(run(Operation::PaymentExt, request("100", "4")).data.CardType.text(), "04");
    EXPECT_EQ(run(Operation::PaymentExt, request("100", "4")).data.TransactionType.text(), "PAGE");
}

TEST_F(TerminalTest, VoidReversesThePaymentOnce) {
    pay("1000");
    const Answer voided = voidStan("0000001");
    EXPECT_EQ(voided.verdict, Verdict::Approved);
    EXPECT_EQ(voided.data.TransactionType.text(), "STO ");
    EXPECT_EQ(voided.data.STAN.text(), "0000002");
    EXPECT_EQ(voided.data.AmountAuth.text(), "1000     ");
    EXPECT_TRUE(terminal.journal().front().voided);
    EXPECT_EQ(terminal.totals().net, 0);

    const Answer again = voidStan("0000001");
    EXPECT_EQ(again.verdict, Verdict::AlreadyVoided);
    EXPECT_EQ(fieldValue(again.data.KODescription.text()), "OPERAZIONE GIA' STORNATA");
    EXPECT_EQ(terminal.totals().net, 0);
}

TEST_F(TerminalTest, VoidFindsTheStanWrittenWithoutLeadingZeros) {
    pay("1000");
    EXPECT_EQ(voidStan("1").verdict, Verdict::Approved);
}

TEST_F(TerminalTest, VoidOfUnknownStanIsDeclined) {
    pay("1000");
    for (const std::string stan : {"0000009", "ABC", "", "1234567890"}) {
        const Answer answer = voidStan(stan);
        EXPECT_EQ(answer.verdict, Verdict::StanNotFound) << stan;
        EXPECT_EQ(answer.data.TransactionResult.text(), "25 ");
    }
    EXPECT_FALSE(terminal.journal().front().voided);
}

TEST_F(TerminalTest, VoidTakesTheRequestStanWhenTheRecordHasNone) {
    pay("1000");
    kvl::PosRequest byRequest = request("");
    byRequest.Stan.store("1");
    EXPECT_EQ(run(Operation::Void, byRequest).verdict, Verdict::Approved);
}

TEST_F(TerminalTest, VoidOfARefundGivesItsAmountBack) {
    pay("1000");
    run(Operation::Refund, request("300"));
    EXPECT_EQ(terminal.totals().net, 700);
    voidStan("2");
    EXPECT_EQ(terminal.totals().net, 1000);
    EXPECT_EQ(terminal.totals().count, 3);
}

TEST_F(TerminalTest, TotalsReportBothBalancesAndClosureResetsThem) {
    pay("1000");
    pay("250");
    run(Operation::Refund, request("50"));

    const Answer totals = run(Operation::TerminalBalance, request(""));
    EXPECT_EQ(totals.data.TransactionType.text(), "TOT ");
    EXPECT_EQ(totals.data.POSBalance.text(), "0003+000000001200");
    EXPECT_EQ(totals.data.BankBalance.text(), "0003+000000001200");
    EXPECT_EQ(terminal.totals().count, 3);

    const Answer closure = run(Operation::Closure, request(""));
    EXPECT_EQ(closure.data.TransactionType.text(), "CHI ");
    EXPECT_EQ(closure.data.POSBalance.text(), "0003+000000001200");
    EXPECT_NE(closure.data.Ticket.text().find("TOTALI AZZERATI\r\n"), std::string::npos);
    EXPECT_EQ(terminal.totals().count, 0);
    EXPECT_EQ(terminal.totals().net, 0);

    EXPECT_EQ(run(Operation::TerminalBalance, request("")).data.POSBalance.text(),
              "0000+000000000000");
    // The day is closed: its transactions can no longer be voided.
    EXPECT_EQ(voidStan("1").verdict, Verdict::StanNotFound);
}

TEST_F(TerminalTest, NegativeTotalsShowTheirSign) {
    run(Operation::Refund, request("250"));
    EXPECT_EQ(run(Operation::TerminalBalance, request("")).data.POSBalance.text(),
              "0001-000000000250");
}

TEST_F(TerminalTest, StatusAnswersWithoutTransactionData) {
    const Answer status = run(Operation::Status, request(""));
    EXPECT_EQ(status.data.TransactionType.text(), "STA ");
    EXPECT_EQ(status.data.TransactionResult.text(), "00 ");
    EXPECT_EQ(status.data.CardType.text(), "  ");
    EXPECT_NE(status.data.Ticket.text().find("TERMINALE OPERATIVO\r\n"), std::string::npos);
}

TEST_F(TerminalTest, PreauthorizationIssuesACodeThatLaterOperationsUse) {
    const Answer preauth = run(Operation::Preauthorization, request("5000"));
    const std::string code = fieldValue(preauth.data.PreauthorizationCode.text());
    EXPECT_EQ(code, "PA00000001");
    EXPECT_EQ(preauth.data.AmountAuth.text(), "5000     ");
    EXPECT_EQ(terminal.totals().count, 0); // a hold moves no money

    kvl::PosRequest more = request("1000");
    more.PreauthorizationCode.store(code);
    const Answer topUp = run(Operation::PreauthorizationInt, more);
    EXPECT_EQ(topUp.verdict, Verdict::Approved);
    EXPECT_EQ(topUp.data.AmountAuth.text(), "6000     ");

    kvl::PosRequest tooMuch = request("6001");
    tooMuch.PreauthorizationCode.store(code);
    EXPECT_EQ(run(Operation::PreauthorizationClose, tooMuch).verdict, Verdict::InvalidAmount);

    kvl::PosRequest close = request("5500");
    close.PreauthorizationCode.store(code);
    const Answer closed = run(Operation::PreauthorizationClose, close);
    EXPECT_EQ(closed.verdict, Verdict::Approved);
    EXPECT_EQ(closed.data.PreauthorizationCode.text(), "PA00000001");
    EXPECT_EQ(terminal.totals().net, 5500);

    EXPECT_EQ(run(Operation::PreauthorizationClose, close).verdict,
              Verdict::PreauthorizationNotFound);
}

TEST_F(TerminalTest, UnknownPreauthorizationCodeIsDeclined) {
    kvl::PosRequest unknown = request("100");
    unknown.PreauthorizationCode.store("PA99999999");
    const Answer answer = run(Operation::PreauthorizationInt, unknown);
    EXPECT_EQ(answer.verdict, Verdict::PreauthorizationNotFound);
    EXPECT_EQ(fieldValue(answer.data.KODescription.text()), "PREAUTORIZZ. NON TROVATA");
}

TEST(TerminalIdentityTest, RequestNamingAnotherTerminalIsDeclinedOnlyWhenChecked) {
    kvl::PosRequest other = request("100");
    other.TerminalId.store("87654321");
    TerminalSettings settings;
    EXPECT_EQ(Terminal(settings).execute(Operation::Payment, other, {}, Noon).verdict,
              Verdict::Approved);
    settings.checkTerminalId = true;
    EXPECT_EQ(Terminal(settings).execute(Operation::Payment, other, {}, Noon).verdict,
              Verdict::WrongTerminal);
    other.TerminalId.store("");
    EXPECT_EQ(Terminal(settings).execute(Operation::Payment, other, {}, Noon).verdict,
              Verdict::Approved);
}

} // namespace
} // namespace sim
