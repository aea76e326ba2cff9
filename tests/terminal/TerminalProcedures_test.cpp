#include "terminal/TerminalProcedures.h"

#include "terminal/TerminalFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace kvl {
namespace {

using test::LibraryCall;
using test::LibraryReply;

const char* const InitEth = "IAE17AX_InitEth";
const char* const InitRS232 = "IAE17AX_InitRS232";
const char* const Status = "IAE17AX_Status";

// A program whose configured and selected connection is a good Ethernet one.
class ProceduresTest : public test::TerminalFixture {
protected:
    ProceduresTest() {
        program.records.ethInit.IpAddress.store("192.168.1.113");
        program.records.ethInit.Port.store("8080");
        form().cmbConnessione.setListIndex(0);
        form().cmbCOM.setListIndex(9);
        form().cmbBaud.setListIndex(3);
        form().cmbDati.setListIndex(1);
        form().cmbParity.setListIndex(2);
        form().cmbStop.setListIndex(0);
        form().cmbPagamento.setListIndex(1);
        form().txtTerminale.setText("T1");
        form().txtImporto.setText("1500");
        form().txtImportoAccredito.setText("250");
        form().txtImportoPreAut.setText("777");
    }

    void useRs232() { program.params.ConnectionType = CommunicationParameters::Rs232; }

    const PosRequest& sentRequest(const std::string& entryPoint) {
        return library.last(entryPoint).request;
    }

    std::vector<std::string> boxTexts() const { return platform.messages.texts(); }
};

struct OperationCase {
    const char* name;
    std::string (*procedure)(Program&);
    const char* entryPoint;
    TextBox FrmMain::*amountField; // nullptr: no amount check
    const char* amountSent;
    const char* failureLabel; // nullptr: failures reach the caller
};

const OperationCase Operations[] = {
    {"Payment", KVL_EseguiPagamento, "IAE17AX_Payment", &FrmMain::txtImporto, "1500     ",
     "KVL_EseguiPagamento:"},
    {"PaymentExt", KVL_EseguiPagamentoEsteso, "IAE17AX_PaymentExt", &FrmMain::txtImporto,
     "1500     ", "KVL_EseguiPagamentoEsteso:"},
    {"Credit", KVL_Accredito, "IAE17AX_Refund", &FrmMain::txtImportoAccredito, "250      ",
     nullptr},
    {"Void", KVL_Storno, "IAE17AX_Void", &FrmMain::txtImporto, "1500     ", "KVL_Storno:"},
    {"Totals", KVL_Totali, "IAE17AX_TerminalBalance", nullptr, "         ", "KVL_Totali:"},
    {"Closure", KVL_Chiusura, "IAE17AX_Closure", nullptr, "         ", "KVL_Chiusura:"},
};

void PrintTo(const OperationCase& c, std::ostream* out) {
    *out << c.name;
}

std::string caseName(const ::testing::TestParamInfo<OperationCase>& info) {
    return info.param.name;
}

class OperationTest : public ProceduresTest, public ::testing::WithParamInterface<OperationCase> {
protected:
    std::string run() { return GetParam().procedure(program); }
    const char* entryPoint() const { return GetParam().entryPoint; }
};

TEST_P(OperationTest, OpensEthernetThenCallsItsEntryPointWithTheFilledRequest) {
    EXPECT_EQ(run(), "");
    EXPECT_EQ(library.entryPoints(), (std::vector<std::string>{InitEth, entryPoint()}));
    EXPECT_EQ(library.last(InitEth).ethInit.IpAddress.text(), "192.168.1.113   ");
    const PosRequest& sent = sentRequest(entryPoint());
    EXPECT_EQ(sent.Amount.text(), GetParam().amountSent);
    EXPECT_EQ(sent.TerminalId.text(), "T1       ");
    EXPECT_EQ(sent.CashRegisterId.text(), "99999999 ");
    EXPECT_EQ(sent.PaymentType.text(), "1 ");
    EXPECT_EQ(form().txtEsito.text(), "OK");
}

TEST_P(OperationTest, ChoosesTheLineByTheConfiguredTypeNotTheSelector) {
    useRs232();
    program.records.ethInit.IpAddress.store("not checked");
    EXPECT_EQ(run(), "");
    EXPECT_EQ(library.entryPoints(), (std::vector<std::string>{InitRS232, entryPoint()}));
    const Rs232InitRecord& line = library.last(InitRS232).rs232Init;
    EXPECT_EQ(line.ComPort.text(), "COM10 ");
    EXPECT_EQ(line.BaudCode.text(), "3 ");
    EXPECT_EQ(line.DataBitsCode.text(), "1 ");
    EXPECT_EQ(line.ParityCode.text(), "2 ");
    EXPECT_EQ(line.StopBitsCode.text(), "0 ");
}

TEST_P(OperationTest, ABadRecordAddressStopsBeforeAnyCall) {
    program.records.ethInit.IpAddress.store("192.168.1");
    form().txtEsito.setText("OK");
    EXPECT_EQ(run(), "Indirizzo IP non valido");
    program.records.ethInit.IpAddress.store("192.168.1.113");
    program.records.ethInit.Port.store("10000");
    EXPECT_EQ(run(), "Porta Eth non valida");
    EXPECT_TRUE(library.calls().empty());
    EXPECT_EQ(form().txtEsito.text(), "") << "a refusal must not read as the status's OK";
}

TEST_P(OperationTest, AnErrorCodeIsNotAFailureOfTheProcedure) {
    library.queueResult(entryPoint(), ResultCode::TimeoutError);
    EXPECT_EQ(run(), "");
    EXPECT_EQ(form().txtEsito.text(), "TIMEOUT ERROR");
}

// Whether the library or only one of its entry points is missing, the call
// that finds out fails the same way.
TEST_P(OperationTest, ARunTimeFailureIsShownWithItsLabelOrReachesTheCaller) {
    for (const char* failing : {entryPoint(), InitEth}) {
        platform.messages.clear();
        library.failNext(failing, RunTimeError(53, "File not found: libiae17.so"));
        if (!GetParam().failureLabel) {
            EXPECT_THROW(run(), RunTimeError);
            EXPECT_TRUE(platform.messages.shown().empty());
            continue;
        }
        EXPECT_EQ(run(), "") << failing;
        ASSERT_EQ(platform.messages.shown().size(), 1u) << failing;
        const auto& box = platform.messages.shown()[0];
        EXPECT_EQ(box.text,
                  std::string(GetParam().failureLabel) + "File not found: libiae17.so,53");
        EXPECT_EQ(box.title, "KvlTalvioPos");
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(library.count(entryPoint()), 1u);
}

// The command handlers run KVL_Status right before the operation, which
// leaves "OK" in txtEsito. Only the operation's own result may keep it there.
TEST_P(OperationTest, NothingButItsOwnSuccessReadsOKAfterAGoodStatus) {
    const std::vector<std::function<void()>> failures = {
        [&] { library.failNext(entryPoint(), RunTimeError(53, "File not found: libiae17.so")); },
        [&] { library.queueResult(entryPoint(), 7); },
        [&] { library.failNext(InitEth, RunTimeError(453, "Can't find DLL entry point")); },
        [&] { library.queueResult(entryPoint(), ResultCode::TimeoutError); },
    };
    for (std::size_t i = 0; i < failures.size(); ++i) {
        LibraryReply status;
        status.answerFields = {{"TransactionResult", "00"}, {"KODescription", "STATO OK"}};
        library.queueReply("IAE17AX_Status", status);
        ASSERT_EQ(KVL_Status(program), "");
        ASSERT_EQ(form().txtEsito.text(), "OK");
        ASSERT_EQ(form().txtEsitoTrans.text(), "00 ");
        failures[i]();
        try {
            run();
        } catch (const RunTimeError&) {
            // the credit lets it through to its caller
        }
        EXPECT_NE(form().txtEsito.text(), "OK") << "failure " << i;
        EXPECT_EQ(form().txtEsitoTrans.text(), "") << "failure " << i;
        EXPECT_EQ(form().txtDescrKO.text(), "") << "failure " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Procedures, OperationTest, ::testing::ValuesIn(Operations), caseName);

// The four procedures with an amount field.
class AmountOperationTest : public OperationTest {};

TEST_P(AmountOperationTest, AnEmptyAmountStopsBeforeAnyCallButABlankPasses) {
    form().txtEsito.setText("OK"); // as the status exchange before it leaves it
    (form().*GetParam().amountField).setText("");
    EXPECT_EQ(run(), "Valore importo non valido");
    EXPECT_TRUE(library.calls().empty());
    EXPECT_EQ(form().txtEsito.text(), "") << "a refusal must not read as the status's OK";

    (form().*GetParam().amountField).setText(" ");
    EXPECT_EQ(run(), "");
    EXPECT_EQ(sentRequest(entryPoint()).Amount.text(), "         ");
}

INSTANTIATE_TEST_SUITE_P(Procedures, AmountOperationTest,
                         ::testing::ValuesIn(Operations, Operations + 4), caseName);

TEST_F(ProceduresTest, VoidSendsTheTraceNumberAsStanAndAsAmount) {
    form().txtImporto.setText("123");
    EXPECT_EQ(KVL_Storno(program), "");
    const LibraryCall& call = library.last("IAE17AX_Void");
    EXPECT_EQ(call.answer.STAN.text(), "123    ");
    EXPECT_EQ(call.request.Amount.text(), "123      ");
}

TEST_F(ProceduresTest, OnlyTheVoidWritesTheAnswerStan) {
    EXPECT_EQ(KVL_EseguiPagamento(program), "");
    EXPECT_EQ(library.last("IAE17AX_Payment").answer.STAN.text(), std::string(7, '\0'));
}

TEST_F(ProceduresTest, CreditSendsItsOwnAmountWhateverThePreauthorizationAmount) {
    form().txtImportoPreAut.setText("999999");
    EXPECT_EQ(KVL_Accredito(program), "");
    EXPECT_EQ(sentRequest("IAE17AX_Refund").Amount.text(), "250      ");
}

TEST_F(ProceduresTest, RequestFieldsOutsideTheFillKeepTheirValues) {
    program.records.request.Stan.store("4711");
    program.records.request.ContractText.store("contract");
    EXPECT_EQ(KVL_Totali(program), "");
    const PosRequest& sent = sentRequest("IAE17AX_TerminalBalance");
    EXPECT_EQ(sent.Stan.text(), "4711   ");
    EXPECT_EQ(sent.ContractText.text(), "contract" + std::string(121, ' '));
    EXPECT_EQ(sent.Extra1.text(), std::string(2, '\0'));
}

TEST_F(ProceduresTest, StatusSendsTheRequestAsTheLastOperationLeftIt) {
    program.records.request.Amount.store("42");
    form().txtImporto.setText("1500");
    EXPECT_EQ(KVL_Status(program), "");
    EXPECT_EQ(library.entryPoints(), (std::vector<std::string>{InitEth, Status}));
    EXPECT_EQ(sentRequest(Status).Amount.text(), "42       ");
    EXPECT_EQ(sentRequest(Status).TerminalId.text(), std::string(9, '\0'));
}

TEST_F(ProceduresTest, StatusChoosesTheLineByTheSelector) {
    form().cmbConnessione.setListIndex(1);
    EXPECT_EQ(KVL_Status(program), "");
    EXPECT_EQ(library.entryPoints(), (std::vector<std::string>{InitRS232, Status}));
}

TEST_F(ProceduresTest, StatusChecksTheAddressOnlyForAnEthernetConfiguration) {
    program.records.ethInit.Port.store("0");
    EXPECT_EQ(KVL_Status(program), "Porta Eth non valida");
    EXPECT_TRUE(library.calls().empty());

    useRs232();
    EXPECT_EQ(KVL_Status(program), "");
    EXPECT_EQ(library.entryPoints(), (std::vector<std::string>{InitEth, Status}));
}

struct StatusCase {
    const char* name;
    const char* before; // txtEsito before the exchange
    short code;
    const char* after;    // txtEsito after it
    const char* returned; // the reachability answer
};

void PrintTo(const StatusCase& c, std::ostream* out) {
    *out << c.name;
}

class StatusTest : public ProceduresTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTest, AnswersFromTheOutcome) {
    form().txtEsito.setText(GetParam().before);
    library.queueResult(Status, GetParam().code);
    EXPECT_EQ(KVL_Status(program), GetParam().returned);
    EXPECT_EQ(form().txtEsito.text(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StatusTest,
    ::testing::Values(
        StatusCase{"Ok", "", 0, "OK", ""},
        StatusCase{"ComError", "OK", 1, "COM ERROR", "COM ERROR"},
        StatusCase{"NotSupported", "", 4, "FUNZIONE NON SUPPORTATA", "FUNZIONE NON SUPPORTATA"},
        StatusCase{"UnknownAfterOk", "OK", 7, "OK", ""},
        StatusCase{"UnknownAfterError", "TIMEOUT ERROR", 7, "TIMEOUT ERROR", "TIMEOUT ERROR"},
        StatusCase{"NegativeAfterError", "COM ERROR", -3, "COM ERROR", "COM ERROR"}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.name); });

TEST_F(ProceduresTest, StatusShowsARunTimeFailureAndReportsReachable) {
    library.failNext(Status, RunTimeError(453, "Can't find DLL entry point IAE17AX_Status"));
    EXPECT_EQ(KVL_Status(program), "");
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{"KVL_Status:Can't find DLL entry point IAE17AX_Status,453"});
    EXPECT_EQ(platform.messages.shown()[0].title, "KvlTalvioPos");
}

} // namespace
} // namespace kvl
