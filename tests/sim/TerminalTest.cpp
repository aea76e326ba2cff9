#include "Terminal.h"
#include "FieldText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace sim {
namespace {

TEST(TerminalTest, ApprovalsArePaddedDeclinesCarryTheirCodesAndClosureResetsTheTotals) {
    Terminal terminal;
    // Its day in order. The STAN to void travels in the record sent along, as the bridge puts it.
    const auto run = [&terminal](Operation operation, const std::string& amount,
                                 const std::string& stan = "") {
        kvl::PosRequest request;
        request.Amount.store(amount);
        request.CashRegisterId.store("CASSA01");
        kvl::POSDATA given;
        given.STAN.store(stan);
        return terminal.execute(operation, request, given, LocalTime{2024, 5, 17, 12, 30, 5, 0});
    };
    const Answer paid = run(Operation::Payment, "1234");
    EXPECT_EQ(paid.data.STAN.text(), "0000001");
    EXPECT_EQ(paid.data.PAN.text(), "4539********0017    ");
    EXPECT_EQ(paid.data.AmountAuth.text(), "1234     ");
    kvl::POSDATA data = paid.data;
    const auto image = kvl::packImage(data);
    EXPECT_EQ(std::string(image.data(), image.size()).find('\0'), std::string::npos);
    EXPECT_EQ(fieldValue(paid.data.Ticket.text()),
              "TERMINALE SIMULATO\r\nTERM. 12345678  ACQ. 000000000001\r\nCASSA CASSA01\r\n"
              "DATA 17/05/2024  ORA 12:30\r\nPAGAMENTO\r\nCARTA CREDITO 4539********0017\r\n"
              "IMPORTO EUR 12,34\r\nSTAN 0000001  AUT. 112648\r\nESITO: APPROVATO\r\n");

    const std::tuple<Operation, std::string, std::string, std::string, std::string> steps[] = {
        {Operation::Payment, "500000", "", "00", ""}, // at the limit
        {Operation::Payment, "500001", "", "51", "FONDI INSUFFICIENTI"},
        {Operation::Payment, "1099", "", "51", "FONDI INSUFFICIENTI"},
        {Operation::Payment, "0", "", "13", "IMPORTO NON VALIDO"},
        {Operation::Payment, "12A", "", "13", "IMPORTO NON VALIDO"},
        {Operation::Void, "", "0000009", "25", "STAN NON TROVATO"},
        {Operation::Void, "", "0000001", "00", ""},
        {Operation::Void, "", "0000001", "94", "OPERAZIONE GIA' STORNATA"},
        {Operation::PreauthorizationInt, "100", "", "25", "PREAUTORIZZ. NON TROVATA"},
        {Operation::Refund, "50", "", "00", ""},
    };
    for (const auto& [operation, amount, stan, result, description] : steps) {
        const Answer answer = run(operation, amount, stan);
        EXPECT_EQ(answer.data.TransactionResult.text(), result + " ") << amount << stan;
        EXPECT_EQ(fieldValue(answer.data.KODescription.text()), description);
        EXPECT_EQ(answer.stan.empty(), result != "00");
        EXPECT_NE(answer.data.Ticket.text().find(
                      result == "00" ? "ESITO: APPROVATO" : "ESITO: NEGATO\r\n" + description),
                  std::string::npos);
    }
    // 1234 + 500000, the first voided, 50 refunded: four that count.
    EXPECT_EQ(run(Operation::TerminalBalance, "").data.POSBalance.text(), "0004+000000499950");
    const Answer closure = run(Operation::Closure, "");
    EXPECT_EQ(closure.data.POSBalance.text(), "0004+000000499950");
    EXPECT_EQ(closure.data.BankBalance.text(), "0004+000000499950");
    EXPECT_EQ(run(Operation::TerminalBalance, "").data.POSBalance.text(), "0000+000000000000");
    // The day is closed: its transactions can no longer be voided.
    EXPECT_EQ(run(Operation::Void, "", "0000002").verdict, Verdict::StanNotFound);
}

} // namespace
} // namespace sim
