#include "commands/CommandHandlers.h"

#include "CommandsFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace kvl::test {
namespace {

const char* const Payment = "IAE17AX_Payment";
const char* const Status = "IAE17AX_Status";
const char* const Void = "IAE17AX_Void";
const char* const Refund = "IAE17AX_Refund";

using Handler = std::string (*)(Program&, const std::string&);

class CommandHandlersTest : public CommandsFixture {
protected:
    CommandHandlersTest() {
        program.frmMain.cmbPagamento.setListIndex(0);
        program.records.request.Amount.store("000000777");
        program.records.request.TerminalId.store("TERM0001");
        program.records.request.CashRegisterId.store("CASSA01");
    }

    std::string sentAmount(const char* entryPoint) const {
        return library.last(entryPoint).request.Amount.text();
    }
};

TEST_F(CommandHandlersTest, PaymentRunsStatusThenPaymentWithTheCommandsValues) {
    // txtTermId is the terminal's answer field: look at it while the payment
    // is on its way, before the answer overwrites it.
    std::string termIdDuringPayment;
    LibraryReply reply;
    reply.action = [&](PosRequest&, POSDATA&) {
        termIdDuringPayment = program.frmMain.txtTermId.text();
    };
    library.queueReply(Payment, reply);

    EXPECT_EQ(ComandoPagamento(program, "POS_PAGAME,T00000001,E00000001,A000001250,P2"), "");

    EXPECT_EQ(library.entryPoints(), (std::vector<std::string>{"IAE17AX_InitRS232", Status,
                                                               "IAE17AX_InitRS232", Payment}));
    EXPECT_EQ(sentAmount(Payment), "000001250");
    EXPECT_EQ(library.last(Payment).request.PaymentType.text(), "2 ");
    // The identifiers the terminal gets are the console's, put back from the
    // previous request.
    EXPECT_EQ(library.last(Payment).request.TerminalId.text(), "         ");
    EXPECT_EQ(library.last(Payment).request.CashRegisterId.text(), "CASSA01  ");
    EXPECT_EQ(termIdDuringPayment, "TERM0001 ");
    EXPECT_EQ(program.frmMain.txtCassa.text(), "CASSA01  ");
    EXPECT_EQ(program.frmMain.txtImporto.text(), "000001250");
    EXPECT_EQ(program.frmMain.cmbPagamento.listIndex(), 2);
}

struct PaymentTypeCase {
    const char* value;
    int selected;
    const char* sent;
};

class PaymentTypeTest : public CommandHandlersTest,
                        public ::testing::WithParamInterface<PaymentTypeCase> {};

TEST_P(PaymentTypeTest, OnlyAnIndexOfTheListChangesTheSelection) {
    program.frmMain.cmbPagamento.setListIndex(1);
    EXPECT_EQ(ComandoPagamento(program, std::string("POS_PAGAME,A100,P") + GetParam().value), "");
    EXPECT_EQ(program.frmMain.cmbPagamento.listIndex(), GetParam().selected);
    EXPECT_EQ(library.last(Payment).request.PaymentType.text(), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PaymentTypeTest,
    ::testing::Values(PaymentTypeCase{"0", 0, "0 "}, PaymentTypeCase{"5", 5, "5 "},
                      PaymentTypeCase{"7", 1, "1 "}, PaymentTypeCase{"X", 1, "1 "},
                      PaymentTypeCase{"-1", 1, "1 "}, PaymentTypeCase{"04", 4, "4 "}));

TEST_F(CommandHandlersTest, TerminalNotAnsweringGivesConnessioneAssente) {
    answer(Status, ResultCode::ComError);

    EXPECT_EQ(ComandoPagamento(program, "POS_PAGAME,A100,P1"), "Connessione assente");

    EXPECT_EQ(library.count(Payment), 0u);
    EXPECT_EQ(program.frmMain.txtEsito.text(), "COM ERROR");
    // The console's input fields are written only after the status check.
    EXPECT_EQ(program.frmMain.txtImporto.text(), "1");
}

TEST_F(CommandHandlersTest, CreditPutsTheAmountIntoTheCreditField) {
    EXPECT_EQ(ComandoAccredito(program, "POS_ACCRED,T1,E1,A000000500"), "");

    EXPECT_EQ(program.frmMain.txtImportoAccredito.text(), "000000500");
    EXPECT_EQ(program.frmMain.txtImporto.text(), "1");
    EXPECT_EQ(program.frmMain.cmbPagamento.listIndex(), 0);
    EXPECT_EQ(sentAmount(Refund), "000000500");
}

TEST_F(CommandHandlersTest, VoidWritesTheConsoleBeforeTheStatusCheck) {
    answer(Status, ResultCode::TimeoutError);

    EXPECT_EQ(ComandoStorno(program, "POS_STORNO,S4567"), "Connessione assente");

    EXPECT_EQ(program.frmMain.txtImporto.text(), "4567   ");
    EXPECT_EQ(program.frmMain.txtTermId.text(), "TERM0001 ");
    EXPECT_EQ(library.count(Void), 0u);
}

TEST_F(CommandHandlersTest, ClosureAndTotalsNeedNoEcrIdentifier) {
    program.handlersEcrIdRequired = true;

    EXPECT_EQ(ComandoChiusura(program, "POS_CHCASS"), "");
    EXPECT_EQ(ComandoTotali(program, "POS_TOTTER,X,Y,Z,W,V"), "");

    EXPECT_EQ(library.count("IAE17AX_Closure"), 1u);
    EXPECT_EQ(library.count("IAE17AX_TerminalBalance"), 1u);
    EXPECT_EQ(sentAmount("IAE17AX_TerminalBalance"), "         ");
}

TEST_F(CommandHandlersTest, PreauthorisationCodesAreNotAvailable) {
    for (Handler handler :
         {ComandoPreautorizzazione, ComandoPreautIntegrativa, ComandoPreautChiusura})
        EXPECT_EQ(handler(program, "POS_PREAUT,T1,E1,A100"), "Funzione non disponibile");
    EXPECT_TRUE(library.calls().empty());
}

// What a line makes the handler answer and send. An identifier required
// by the ECR is looked for as ",E"; a fifth field is refused; a value longer
// than its field would otherwise be cut into another amount or trace number.
struct LineCase {
    const char* line;
    bool ecrIdRequired;
    const char* result;
    const char* sent; // amount or trace number sent; empty when nothing is exchanged
};

class LineTest : public CommandHandlersTest, public ::testing::WithParamInterface<LineCase> {};

struct CommandCode {
    const char* prefix;
    Handler handler;
    const char* entryPoint;
};
const CommandCode Codes[] = {{"POS_PAGAME", ComandoPagamento, Payment},
                             {"POS_PAGEXT", ComandoPagamentoEsteso, "IAE17AX_PaymentExt"},
                             {"POS_ACCRED", ComandoAccredito, Refund},
                             {"POS_STORNO", ComandoStorno, Void}};

TEST_P(LineTest, IsRefusedOrSendsItsValue) {
    program.handlersEcrIdRequired = GetParam().ecrIdRequired;
    const std::string line = GetParam().line;
    const CommandCode& code = *std::find_if(std::begin(Codes), std::end(Codes),
                                            [&](auto& c) { return line.rfind(c.prefix, 0) == 0; });
    EXPECT_EQ(code.handler(program, line), GetParam().result);
    const std::string sent = GetParam().sent;
    if (sent.empty()) {
        EXPECT_TRUE(library.calls().empty());
        EXPECT_EQ(program.records.request.Amount.text(), "000000777");
        EXPECT_EQ(program.frmMain.txtImporto.text(), "1");
    } else if (code.handler == ComandoStorno) {
        EXPECT_EQ(library.last(Void).answer.STAN.text(), sent);
        EXPECT_EQ(program.frmMain.txtImporto.text(), sent);
    } else {
        EXPECT_EQ(library.last(code.entryPoint).request.Amount.text(), sent);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineTest,
    ::testing::Values(LineCase{"POS_PAGAME,A100,P1", false, "", "100      "},
                      LineCase{"POS_PAGAME,A100,P1", true, "Parametri mancanti", ""},
                      LineCase{"POS_PAGAME,E1,A100", true, "", "100      "},
                      LineCase{"POS_PAGAME,E,A100", true, "", "100      "},
                      LineCase{"POS_PAGAME,T1E1,A100", true, "Parametri mancanti", ""},
                      LineCase{"POS_PAGAME,T1,E1,A1250,P1,X", false, "Parametri mancanti", ""},
                      LineCase{"POS_PAGAME,T1,E1,A1250,P1,", false, "Parametri mancanti", ""},
                      LineCase{"POS_PAGAME,P3,A000001250,E1,T1", true, "", "000001250"},
                      LineCase{"POS_PAGAME,E1,P3,T1,A1250", true, "", "1250     "},
                      LineCase{"POS_PAGAME,A 1250", false, "", " 1250    "},
                      LineCase{"POS_PAGAME,T1,E1,P0", false, "", "000000777"},
                      LineCase{"POS_PAGAME,A1234567890", false, "Valore importo non valido", ""},
                      LineCase{"POS_PAGAME,A0000001250", false, "", "000001250"},
                      LineCase{"POS_PAGAME,A 123456789", false, "Valore importo non valido", ""},
                      LineCase{"POS_PAGAME,A100,A1234567890", false, "Valore importo non valido",
                               ""},
                      LineCase{"POS_PAGEXT,T1,E1,A500,P1", false, "", "500      "},
                      LineCase{"POS_ACCRED,T1,A100", true, "Parametri mancanti", ""},
                      LineCase{"POS_ACCRED,T1,E7,A100", true, "", "100      "},
                      LineCase{"POS_ACCRED,T1,E1,A500,P3", false, "Parametri mancanti", ""},
                      LineCase{"POS_ACCRED,A1000000000", false, "Valore importo non valido", ""},
                      LineCase{"POS_STORNO,T1,S123", true, "Parametri mancanti", ""},
                      LineCase{"POS_STORNO,T1,E1,S123", true, "", "123    "},
                      LineCase{"POS_STORNO,A123", false, "", "123    "},
                      LineCase{"POS_STORNO,S111,A222", false, "", "222    "},
                      LineCase{"POS_STORNO,A222,S111", false, "", "111    "},
                      LineCase{"POS_STORNO,S12345678", false, "Valore importo non valido", ""},
                      LineCase{"POS_STORNO,A12345678", false, "Valore importo non valido", ""},
                      LineCase{"POS_STORNO,S00001234", false, "", "0001234"}));

// A refused line must leave nothing behind for the next line that omits a
// value.
TEST_F(CommandHandlersTest, RefusedLineLeavesTheRequestAsItWas) {
    program.handlersEcrIdRequired = true;
    EXPECT_EQ(ComandoPagamento(program, "POS_PAGAME,A5000,P1"), "Parametri mancanti");
    EXPECT_EQ(ComandoStorno(program, "POS_STORNO,S999"), "Parametri mancanti");
    EXPECT_EQ(program.records.request.Amount.text(), "000000777");
    EXPECT_EQ(program.records.request.PaymentType.text(), std::string(2, '\0'));

    EXPECT_EQ(ComandoPagamento(program, "POS_PAGAME,T1,E1,P1"), "");
    EXPECT_EQ(sentAmount(Payment), "000000777");
}

TEST_F(CommandHandlersTest, CreditFailureIsReportedNotTakenForSuccess) {
    library.failAlways(Refund, RunTimeError(453, "Entry point IAE17AX_Refund not found"));
    // The status exchange just before leaves a transaction result behind.
    answer(Status, ResultCode::Ok, {{"TransactionResult", "00"}});

    EXPECT_EQ(ComandoAccredito(program, "POS_ACCRED,A500"),
              "KVL_Accredito:Entry point IAE17AX_Refund not found,453");

    EXPECT_EQ(program.frmMain.txtEsito.text(), "");
    EXPECT_EQ(program.frmMain.txtEsitoTrans.text(), "");
}

} // namespace
} // namespace kvl::test
