#include "commands/CommandHandlers.h"

#include "CommandsFixture.h"

#include <gtest/gtest.h>

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

TEST_F(CommandHandlersTest, ExtendedPaymentUsesItsOwnEntryPoint) {
    EXPECT_EQ(ComandoPagamentoEsteso(program, "POS_PAGEXT,T1,E1,A500,P1"), "");
    EXPECT_EQ(sentAmount("IAE17AX_PaymentExt"), "500      ");
    EXPECT_EQ(library.count(Payment), 0u);
}

TEST_F(CommandHandlersTest, FieldOrderDoesNotMatter) {
    for (const char* line : {"POS_PAGAME,T1,E1,A000001250,P3", "POS_PAGAME,P3,A000001250,E1,T1",
                             "POS_PAGAME,E1,P3,T1,A000001250"}) {
        SCOPED_TRACE(line);
        program.frmMain.cmbPagamento.setListIndex(0);
        library.clearCalls();
        EXPECT_EQ(ComandoPagamento(program, line), "");
        EXPECT_EQ(sentAmount(Payment), "000001250");
        EXPECT_EQ(library.last(Payment).request.PaymentType.text(), "3 ");
    }
}

TEST_F(CommandHandlersTest, FifthFieldIsRefusedWithoutTouchingAnything) {
    for (const char* line : {"POS_PAGAME,T1,E1,A1250,P1,X", "POS_PAGAME,A1,A2,A3,A4,A5",
                             "POS_PAGAME,T1,E1,A1250,P1,"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(ComandoPagamento(program, line), "Parametri mancanti");
    }
    EXPECT_TRUE(library.calls().empty());
    EXPECT_EQ(program.frmMain.txtImporto.text(), "1");
    EXPECT_EQ(program.records.request.Amount.text(), "000000777");
}

TEST_F(CommandHandlersTest, MissingAmountPaysThePreviousRequestsAmount) {
    EXPECT_EQ(ComandoPagamento(program, "POS_PAGAME,T1,E1,P0"), "");
    EXPECT_EQ(program.frmMain.txtImporto.text(), "000000777");
    EXPECT_EQ(sentAmount(Payment), "000000777");
}

TEST_F(CommandHandlersTest, BlankAfterTheLetterIsKept) {
    EXPECT_EQ(ComandoPagamento(program, "POS_PAGAME,A 1250"), "");
    EXPECT_EQ(sentAmount(Payment), " 1250    ");
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

struct EcrIdCase {
    const char* line;
    bool required;
    const char* result;
};

class EcrIdTest : public CommandHandlersTest, public ::testing::WithParamInterface<EcrIdCase> {};

TEST_P(EcrIdTest, RequiredIdentifierIsLookedForAsCommaE) {
    program.handlersEcrIdRequired = GetParam().required;
    const std::string line = GetParam().line;
    Handler handler = ComandoPagamento;
    if (line.rfind("POS_ACCRED", 0) == 0)
        handler = ComandoAccredito;
    else if (line.rfind("POS_STORNO", 0) == 0)
        handler = ComandoStorno;
    EXPECT_EQ(handler(program, line), GetParam().result);
    EXPECT_EQ(library.calls().empty(), std::string(GetParam().result) == "Parametri mancanti");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EcrIdTest,
    ::testing::Values(EcrIdCase{"POS_PAGAME,A100,P1", false, ""},
                      EcrIdCase{"POS_PAGAME,A100,P1", true, "Parametri mancanti"},
                      EcrIdCase{"POS_PAGAME,E1,A100", true, ""},
                      EcrIdCase{"POS_PAGAME,E,A100", true, ""},
                      EcrIdCase{"POS_PAGAME,T1E1,A100", true, "Parametri mancanti"},
                      EcrIdCase{"POS_ACCRED,T1,A100", true, "Parametri mancanti"},
                      EcrIdCase{"POS_ACCRED,T1,E7,A100", true, ""},
                      EcrIdCase{"POS_STORNO,T1,S123", true, "Parametri mancanti"},
                      EcrIdCase{"POS_STORNO,S123", false, ""}));

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

TEST_F(CommandHandlersTest, CreditWithFourParametersIsRefused) {
    EXPECT_EQ(ComandoAccredito(program, "POS_ACCRED,T1,E1,A500,P3"), "Parametri mancanti");
    EXPECT_TRUE(library.calls().empty());
}

TEST_F(CommandHandlersTest, VoidTakesTheTraceNumberFromSOrA) {
    struct Case {
        const char* line;
        const char* stan;
    };
    for (const Case& c :
         {Case{"POS_STORNO,T1,E1,S123", "123    "}, Case{"POS_STORNO,T1,E1,A123", "123    "},
          Case{"POS_STORNO,S111,A222", "222    "}, Case{"POS_STORNO,A222,S111", "111    "}}) {
        SCOPED_TRACE(c.line);
        library.clearCalls();
        EXPECT_EQ(ComandoStorno(program, c.line), "");
        EXPECT_EQ(program.frmMain.txtImporto.text(), c.stan);
        EXPECT_EQ(library.last(Void).answer.STAN.text(), c.stan);
        EXPECT_EQ(sentAmount(Void), std::string(c.stan) + "  ");
    }
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

TEST_F(CommandHandlersTest, ClosureWithoutTerminalGivesConnessioneAssente) {
    answer(Status, ResultCode::ProtocolError);
    EXPECT_EQ(ComandoChiusura(program, "POS_CHCASS"), "Connessione assente");
    EXPECT_EQ(library.count("IAE17AX_Closure"), 0u);
}

TEST_F(CommandHandlersTest, PreauthorisationCodesAreNotAvailable) {
    for (Handler handler :
         {ComandoPreautorizzazione, ComandoPreautIntegrativa, ComandoPreautChiusura})
        EXPECT_EQ(handler(program, "POS_PREAUT,T1,E1,A100"), "Funzione non disponibile");
    EXPECT_TRUE(library.calls().empty());
}

TEST_F(CommandHandlersTest, StatusReturnsTheStatusProceduresText) {
    EXPECT_EQ(ComandoStatus(program, "POS_STATUS"), "");
    answer(Status, ResultCode::ComError);
    EXPECT_EQ(ComandoStatus(program, "POS_STATUS"), "COM ERROR");
}

struct AmountCase {
    const char* line;
    const char* result;
    const char* sent; // empty when no terminal exchange happens
};

class AmountFitTest : public CommandHandlersTest,
                      public ::testing::WithParamInterface<AmountCase> {};

// A value longer than its field would otherwise be cut into another amount
// or another trace number.
TEST_P(AmountFitTest, ValueThatDoesNotFitIsRefusedBeforeAnyExchange) {
    const std::string line = GetParam().line;
    const bool isVoid = line.rfind("POS_STORNO", 0) == 0;
    const std::string result =
        isVoid ? ComandoStorno(program, line)
               : (line.rfind("POS_ACCRED", 0) == 0 ? ComandoAccredito(program, line)
                                                   : ComandoPagamento(program, line));
    EXPECT_EQ(result, GetParam().result);
    const std::string sent = GetParam().sent;
    if (sent.empty()) {
        EXPECT_TRUE(library.calls().empty());
        EXPECT_EQ(program.records.request.Amount.text(), "000000777");
        EXPECT_EQ(program.frmMain.txtImporto.text(), "1");
    } else if (isVoid) {
        EXPECT_EQ(library.last(Void).answer.STAN.text(), sent);
    } else {
        EXPECT_EQ(library.calls().back().request.Amount.text(), sent);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, AmountFitTest,
    ::testing::Values(AmountCase{"POS_PAGAME,A1234567890", "Valore importo non valido", ""},
                      AmountCase{"POS_PAGAME,A0000001250", "", "000001250"},
                      AmountCase{"POS_PAGAME,A123456789", "", "123456789"},
                      AmountCase{"POS_PAGAME,A 123456789", "Valore importo non valido", ""},
                      AmountCase{"POS_PAGAME,A100,A1234567890", "Valore importo non valido", ""},
                      AmountCase{"POS_ACCRED,A1000000000", "Valore importo non valido", ""},
                      AmountCase{"POS_ACCRED,A0000000500", "", "000000500"},
                      AmountCase{"POS_STORNO,S12345678", "Valore importo non valido", ""},
                      AmountCase{"POS_STORNO,A12345678", "Valore importo non valido", ""},
                      AmountCase{"POS_STORNO,S00001234", "", "0001234"},
                      AmountCase{"POS_STORNO,S1234567", "", "1234567"}));

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

TEST(Massimo, LargerOfTwo) {
    EXPECT_EQ(Massimo(2, 4), 4);
    EXPECT_EQ(Massimo(32767, -32768), 32767);
}

} // namespace
} // namespace kvl::test
