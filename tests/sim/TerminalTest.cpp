#include "Terminal.h"
#include "FieldText.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

class TerminalTest : public ::testing::Test {
protected:
    // An operation with the amount in the request and the STAN to void in the
    // record sent with it, as the bridge's void puts it.
    Answer run(Operation operation, const std::string& amount, const std::string& stan = "") {
        kvl::PosRequest request;
        request.Amount.store(amount);
        request.CashRegisterId.store("CASSA01");
        kvl::POSDATA given;
        given.STAN.store(stan);
        return terminal.execute(operation, request, given, LocalTime{2024, 5, 17, 12, 30, 5, 0});
    }

    Terminal terminal;
};

TEST_F(TerminalTest, ApprovedPaymentIsBlankPaddedAndItsReceiptLinesEndWithCrLf) {
    const Answer answer = run(Operation::Payment, "1234");
    EXPECT_EQ(answer.data.TerminalId.text(), "12345678 ");
    EXPECT_EQ(answer.data.TransactionResult.text(), "00 ");
    EXPECT_EQ(answer.data.KODescription.text(), std::string(25, ' '));
    EXPECT_EQ(answer.data.STAN.text(), "0000001");
    EXPECT_EQ(answer.data.PAN.text(), "4539********0017    ");
    EXPECT_EQ(answer.data.AmountAuth.text(), "1234     ");
    kvl::POSDATA data = answer.data;
    const auto image = kvl::packImage(data);
    EXPECT_EQ(std::string(image.data(), image.size()).find('\0'), std::string::npos);
    EXPECT_EQ(fieldValue(answer.data.Ticket.text()), "TERMINALE SIMULATO\r\n"
                                                     "TERM. 12345678  ACQ. 000000000001\r\n"
                                                     "CASSA CASSA01\r\n"
                                                     "DATA 17/05/2024  ORA 12:30\r\n"
                                                     "PAGAMENTO\r\n"
                                                     "CARTA CREDITO 4539********0017\r\n"
                                                     "IMPORTO EUR 12,34\r\n"
                                                     "STAN 0000001  AUT. 112648\r\n"
                                                     "ESITO: APPROVATO\r\n");
}

// One terminal taking the steps in order: approvals and the decline rules.
TEST_F(TerminalTest, DeclinesCarryTheirCodesAndDescription) {
    struct Step {
        Operation operation;
        std::string amount, stan, result, description;
    } steps[] = {
        {Operation::Payment, "1000", "", "00", ""},
        {Operation::Payment, "500000", "", "00", ""}, // at the limit
        {Operation::Payment, "500001", "", "51", "FONDI INSUFFICIENTI"},
        {Operation::Payment, "1099", "", "51", "FONDI INSUFFICIENTI"},
        {Operation::Payment, "0", "", "13", "IMPORTO NON VALIDO"},
        {Operation::Payment, "", "", "13", "IMPORTO NON VALIDO"},
        {Operation::Payment, "12A", "", "13", "IMPORTO NON VALIDO"},
        {Operation::Void, "", "0000009", "25", "STAN NON TROVATO"},
        {Operation::Void, "", "0000001", "00", ""},
        {Operation::Void, "", "0000001", "94", "OPERAZIONE GIA' STORNATA"},
        {Operation::PreauthorizationInt, "100", "", "25", "PREAUTORIZZ. NON TROVATA"},
    };
    for (const Step& step : steps) {
        const Answer answer = run(step.operation, step.amount, step.stan);
        EXPECT_EQ(answer.data.TransactionResult.text(), step.result + " ") << step.amount;
        EXPECT_EQ(fieldValue(answer.data.KODescription.text()), step.description);
        if (step.result != "00") {
            EXPECT_EQ(answer.stan, "");
            EXPECT_NE(answer.data.Ticket.text().find("ESITO: NEGATO\r\n" + step.description),
                      std::string::npos);
        }
    }
    EXPECT_EQ(terminal.totals().count, 3);
    EXPECT_EQ(terminal.totals().net, 500000);
}

TEST_F(TerminalTest, ClosureReportsTheTotalsAndResetsThem) {
    run(Operation::Payment, "1000");
    run(Operation::Payment, "250");
    run(Operation::Refund, "50");
    EXPECT_EQ(run(Operation::TerminalBalance, "").data.POSBalance.text(), "0003+000000001200");

    const Answer closure = run(Operation::Closure, "");
    EXPECT_EQ(closure.data.POSBalance.text(), "0003+000000001200");
    EXPECT_EQ(closure.data.BankBalance.text(), "0003+000000001200");
    EXPECT_EQ(run(Operation::TerminalBalance, "").data.POSBalance.text(), "0000+000000000000");
    // The day is closed: its transactions can no longer be voided.
    EXPECT_EQ(run(Operation::Void, "", "0000001").verdict, Verdict::StanNotFound);
}

} // namespace
} // namespace sim
