#include "Terminal.h"
#include "FieldText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace sim {
namespace {

using A = iae17::protocol::AnswerField;
using R = iae17::protocol::RequestField;

TEST(TerminalTest, ApprovalsArePaddedDeclinesCarryTheirCodesAndClosureResetsTheTotals) {
    Terminal terminal;
    const auto run = [&terminal](Operation operation, const std::string& amount,
                                 const std::string& stan = "") {
        PosRequest request;
        request.store(R::Amount, amount);
        request.store(R::CashRegisterId, "CASSA01");
        PosData given;
        given.store(A::STAN, stan);
        return terminal.execute(operation, request, given, LocalTime{2024, 5, 17, 12, 30, 5, 0});
    };
    EXPECT_EQ(run(Operation::Payment, "1234").data.text(A::AmountAuth), "1234     ");
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
        EXPECT_EQ(answer.data.text(A::TransactionResult), result + " ") << amount << stan;
        EXPECT_EQ(fieldValue(answer.data.text(A::KODescription)), description);
        EXPECT_EQ(answer.stan.empty(), result != "00");
    }
    // 1234 + 500000, the first voided, 50 refunded: four that count.
    EXPECT_EQ(run(Operation::TerminalBalance, "").data.text(A::POSBalance), "0004+000000499950");
    const Answer closure = run(Operation::Closure, "");
    EXPECT_EQ(closure.data.text(A::POSBalance), "0004+000000499950");
    EXPECT_EQ(closure.data.text(A::BankBalance), "0004+000000499950");
    EXPECT_EQ(run(Operation::TerminalBalance, "").data.text(A::POSBalance), "0000+000000000000");
    // The day is closed: its transactions can no longer be voided.
    EXPECT_EQ(run(Operation::Void, "", "0000002").verdict, Verdict::StanNotFound);
}

} // namespace
} // namespace sim
