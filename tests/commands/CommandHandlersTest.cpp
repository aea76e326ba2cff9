#include "commands/CommandHandlers.h"

#include "CommandsFixture.h"

#include <tuple>

namespace kvl::test {
namespace {

const char* const Payment = "IAE17AX_Payment";
const char* const Status = "IAE17AX_Status";

using Handler = std::string (*)(CommandContext&, const std::string&);

class CommandHandlersTest : public CommandsFixture {
protected:
    CommandHandlersTest() {
        records.request.Amount.store("000000777");
        records.request.CashRegisterId.store("CASSA01");
    }
};

// A payment checks the status first and sends the console's identifiers, not
// the line's T and E; only an index of the list changes the payment type.
TEST_F(CommandHandlersTest, PaymentChecksTheStatusFirstAndOnlyAListIndexPicksItsType) {
    const std::tuple<const char*, int, const char*> cases[] = {{"0", 0, "0 "},  {"5", 5, "5 "},
                                                               {"7", 1, "1 "},  {"X", 1, "1 "},
                                                               {"-1", 1, "1 "}, {"04", 4, "4 "}};
    for (const auto& [value, selected, sent] : cases) {
        SCOPED_TRACE(value);
        library.clearCalls();
        frmMain.cmbPagamento.setListIndex(1);
        EXPECT_EQ(
            ComandoPagamento(commands, std::string("POS_PAGAME,T00000001,E00000001,P") + value),
            "");
        EXPECT_EQ(library.entryPoints(), (std::vector<std::string>{"IAE17AX_InitRS232", Status,
                                                                   "IAE17AX_InitRS232", Payment}));
        EXPECT_EQ(frmMain.cmbPagamento.listIndex(), selected);
        EXPECT_EQ(library.last(Payment).request.PaymentType.text(), sent);
        EXPECT_EQ(library.last(Payment).request.TerminalId.text(), "         ");
        EXPECT_EQ(library.last(Payment).request.CashRegisterId.text(), "CASSA01  ");
    }
}

// Line, ECR identifier required, answer, amount (a void: trace number) sent or
// "" for no exchange. A refused line leaves the whole request as it was.
using LineCase = std::tuple<const char*, bool, const char*, const char*>;

class LineTest : public CommandHandlersTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineTest, IsRefusedOrSendsItsValue) {
    const std::map<std::string, Handler> handlers = {
        {"POS_PAGAME", ComandoPagamento}, {"POS_PAGEXT", ComandoPagamentoEsteso},
        {"POS_ACCRED", ComandoAccredito}, {"POS_STORNO", ComandoStorno},
        {"POS_TOTTER", ComandoTotali},    {"POS_CHCASS", ComandoChiusura}};
    const auto& [line, ecrIdRequired, result, sent] = GetParam();
    handlersEcrIdRequired = ecrIdRequired;
    const Handler handler = handlers.at(std::string(line).substr(0, 10));
    const auto request = packImage(records.request);
    EXPECT_EQ(handler(commands, line), result);
    if (*sent == '\0') {
        EXPECT_TRUE(library.calls().empty());
        EXPECT_EQ(packImage(records.request), request);
    } else if (handler == ComandoStorno) {
        EXPECT_EQ(library.last("IAE17AX_Void").answer.STAN.text(), sent);
    } else {
        ASSERT_FALSE(library.calls().empty());
        EXPECT_EQ(library.calls().back().request.Amount.text(), sent);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineTest,
    ::testing::Values(LineCase{"POS_PAGAME,A100,P1", false, "", "100      "},
                      LineCase{"POS_PAGAME,A100,P1", true, "Parametri mancanti", ""},
                      LineCase{"POS_PAGAME,P3,A000001250,E1,T1", true, "", "000001250"},
                      LineCase{"POS_PAGAME,T1,E1,P1", true, "", "000000777"},
                      LineCase{"POS_PAGAME,A 1250", false, "", " 1250    "},
                      LineCase{"POS_PAGAME,,A0000001250,P1", false, "", "000001250"},
                      LineCase{"POS_PAGAME,A 000001250", false, "Valore importo non valido", ""},
                      LineCase{"POS_PAGAME,A1,A1234567890", false, "Valore importo non valido", ""},
                      LineCase{"POS_PAGEXT,T1,E1,A500,P1", false, "", "500      "},
                      LineCase{"POS_ACCRED,T1,A100", true, "Parametri mancanti", ""},
                      LineCase{"POS_ACCRED,T1,E7,A100", true, "", "100      "},
                      LineCase{"POS_ACCRED,T1,E1,A500,P3", false, "Parametri mancanti", ""},
                      LineCase{"POS_STORNO,T1,S123", true, "Parametri mancanti", ""},
                      LineCase{"POS_STORNO,T1,E1,S123", true, "", "123    "},
                      LineCase{"POS_STORNO,S111,A222", false, "", "222    "},
                      LineCase{"POS_STORNO,A222,S111", false, "", "111    "},
                      LineCase{"POS_STORNO,S12345678", false, "Valore importo non valido", ""},
                      // Closure and totals take no values and need no ECR identifier.
                      LineCase{"POS_TOTTER,X,Y,Z,W,V", true, "", "         "},
                      LineCase{"POS_CHCASS", true, "", "         "}));

// The status exchange before a failed credit leaves a result it must not show.
TEST_F(CommandHandlersTest, CreditFailureIsReportedNotTakenForSuccess) {
    library.failAlways("IAE17AX_Refund", RunTimeError(453, "Entry point IAE17AX_Refund not found"));
    library.queueReply(Status, LibraryReply{ResultCode::Ok, {{"TransactionResult", "00"}}, {}});
    EXPECT_EQ(ComandoAccredito(commands, "POS_ACCRED,A500"),
              "KVL_Accredito:Entry point IAE17AX_Refund not found,453");
    EXPECT_EQ(frmMain.txtEsito.text() + frmMain.txtEsitoTrans.text(), "");
}

} // namespace
} // namespace kvl::test
