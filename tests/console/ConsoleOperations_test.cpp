#include "console/ConsoleOperations.h"

#include "console/ConsoleProcedures.h"
#include "platform/Text.h"
#include "support/TerminalParts.h"
#include "terminal/TerminalProcedures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl {
namespace {

using test::FakeMessageBoxes;
using test::LibraryReply;

// The nine buttons an operation locks, and btnStatus last.
std::vector<Button*> operationButtons(FrmMain& form) {
    return {&form.btnChiusura,
            &form.btnAccredito,
            &form.btnIntegrativa,
            &form.btnPagamento,
            &form.btnPreautorizzazione,
            &form.btnPreautChiusura,
            &form.btnStorno,
            &form.btnStornoPreautorizzazione,
            &form.btnTotali,
            &form.btnStatus};
}

// "1" for each enabled button, "0" for each disabled one, then "+" while the
// hourglass shows.
std::string lockState(FrmMain& form) {
    std::string state;
    for (Button* button : operationButtons(form))
        state += button->enabled() ? '1' : '0';
    return state + (form.busyPointer ? "+" : "");
}

constexpr const char* Unlocked = "1111111111";
constexpr const char* Locked = "0000000001+";

// The console as the Interactive mode shows it after start-up, on Ethernet,
// with every field an operation may need filled in, and records that still
// hold what an earlier operation left.
struct ConsoleParts : test::TerminalParts {
    ConsoleParts() {
        attachConsoleProcedures(console);
        frmMain.cmbConnessione.setListIndex(0);
        frmMain.cmbPagamento.setListIndex(2);
        frmMain.txtTerminale.setText("T0000001");
        frmMain.txtCassa.setText("C0000009");
        frmMain.txtImporto.setText("250");
        frmMain.txtImportoAccredito.setText("300");
        frmMain.txtImportoPreAut.setText("400");
        frmMain.txtCodicePreautorizzazione.setText("PA1");
        frmMain.txtEsito.setText("earlier outcome");
        records.request.Amount.store("777");
        records.request.TerminalId.store("EARLIER");
        records.posData.STAN.store("0000123");
    }

    std::string sent(const char* entryPoint, FixedText<9> PosRequest::*field) {
        return text::trimRight((library.last(entryPoint).request.*field).text());
    }

    ConsoleContext console{terminal, fake.events};
};
struct Console : ::testing::Test, ConsoleParts {};

struct ButtonCase {
    Button FrmMain::*button;
    const char* entryPoint;
    const char* amountSent;
    const char* terminalSent;
};

// The line is set up, then the operation gets the request: the payment and the
// credit for one cent, the void with txtImporto, the preauthorisations with
// txtImportoPreAut, totals and closure with none, the status with the request
// an earlier operation left. The buttons are locked while the library works
// and unlocked after; the outcome shows in the console and nowhere else.
TEST_F(Console, EachButtonSendsItsRequestWithTheButtonsLockedAndShowsTheOutcome) {
    const ButtonCase cases[] = {
        {&FrmMain::btnPagamento, "IAE17AX_Payment", "1", "T0000001"},
        {&FrmMain::btnStorno, "IAE17AX_Void", "250", "T0000001"},
        {&FrmMain::btnAccredito, "IAE17AX_Refund", "1", "T0000001"},
        {&FrmMain::btnPreautorizzazione, "IAE17AX_Preauthorization", "400", "T0000001"},
        {&FrmMain::btnIntegrativa, "IAE17AX_PreauthorizationInt", "400", "T0000001"},
        {&FrmMain::btnPreautChiusura, "IAE17AX_PreauthorizationClose", "400", "T0000001"},
        {&FrmMain::btnTotali, "IAE17AX_TerminalBalance", "", "T0000001"},
        {&FrmMain::btnChiusura, "IAE17AX_Closure", "", "T0000001"},
        {&FrmMain::btnStatus, "IAE17AX_Status", "777", "EARLIER"}};
    for (const ButtonCase& c : cases) {
        SCOPED_TRACE(c.entryPoint);
        ConsoleParts fresh;
        std::string during;
        LibraryReply reply{ResultCode::Ok, {{"STAN", "0000456"}, {"PAN", "4111"}}, {}};
        reply.action = [&](PosRequest&, POSDATA&) { during = lockState(fresh.frmMain); };
        fresh.library.queueReply(c.entryPoint, reply);

        EXPECT_TRUE((fresh.frmMain.*c.button).click());

        EXPECT_EQ(fresh.library.entryPoints(),
                  (std::vector<std::string>{"IAE17AX_InitEth", c.entryPoint}));
        EXPECT_EQ(fresh.sent(c.entryPoint, &PosRequest::Amount), c.amountSent);
        EXPECT_EQ(fresh.sent(c.entryPoint, &PosRequest::TerminalId), c.terminalSent);
        // The console's void does not copy txtImporto into the answer's STAN.
        EXPECT_EQ(fresh.library.last(c.entryPoint).answer.STAN.text(), "0000123");
        EXPECT_EQ(during, Locked);
        EXPECT_EQ(lockState(fresh.frmMain), Unlocked);
        EXPECT_EQ(fresh.frmMain.txtEsito.text(), "OK");
        EXPECT_EQ(text::trimRight(fresh.frmMain.txtPAN.text()), "4111");
        EXPECT_TRUE(fresh.fake.messages.shown().empty());
        EXPECT_TRUE(fresh.fake.files.changes().empty());
    }
}

struct CheckCase {
    Button FrmMain::*button;
    int connection; // cmbConnessione's index
    std::vector<TextBox FrmMain::*> emptied;
    const char* message; // empty: the operation runs
    const char* emptyText = "";
};

// Outcome cleared first; then the connection fields (on Ethernet only, the
// address before the port), the terminal and cash-desk identities, and last
// the button's own fields, each stopping at the first empty one. A blank
// counts as filled.
TEST_F(Console, TheChecksRunInOrderAndTheFirstEmptyFieldStopsBeforeAnythingIsLocked) {
    const char* const Ip = "Attenzione il campo indirizzo IP deve essere compilato";
    const char* const Port = "Attenzione il campo Porta deve essere compilato";
    const char* const Terminal = "Attenzione il campo Id Terminale deve essere compilato";
    const char* const Cassa = "Attenzione il campo Id Cassa deve essere compilato";
    const char* const Amount = "Attenzione il campo Importo deve essere compilato";
    const char* const Credit = "Attenzione il campo Importo Accredito deve essere compilato";
    const char* const PreAut =
        "Attenzione il campo Importo Preautorizzazione deve essere compilato";
    const char* const Code = "Attenzione il campo Codice Preautorizzazione deve essere compilato";
    using F = FrmMain;
    const CheckCase cases[] = {
        {&F::btnStatus, 0, {&F::txtIP, &F::txtPorta, &F::txtTerminale}, Ip},
        {&F::btnStatus, 0, {&F::txtPorta, &F::txtTerminale}, Port},
        {&F::btnStatus, 1, {&F::txtIP, &F::txtPorta, &F::txtTerminale, &F::txtCassa}, Terminal},
        {&F::btnTotali, 1, {&F::txtIP, &F::txtPorta}, ""},
        {&F::btnPagamento, 0, {&F::txtCassa, &F::txtImporto}, Cassa},
        {&F::btnPagamento, 0, {&F::txtImporto}, Amount},
        {&F::btnStorno, 0, {&F::txtImporto}, Amount},
        {&F::btnAccredito, 0, {&F::txtImporto, &F::txtImportoAccredito}, Credit},
        {&F::btnAccredito, 0, {&F::txtImporto}, ""},
        {&F::btnPreautorizzazione,
         0,
         {&F::txtImportoPreAut, &F::txtCodicePreautorizzazione},
         PreAut},
        {&F::btnPreautorizzazione, 0, {&F::txtCodicePreautorizzazione}, ""},
        {&F::btnIntegrativa, 0, {&F::txtImportoPreAut, &F::txtCodicePreautorizzazione}, PreAut},
        {&F::btnIntegrativa, 0, {&F::txtCodicePreautorizzazione}, Code},
        {&F::btnPreautChiusura, 0, {&F::txtCodicePreautorizzazione}, Code},
        {&F::btnChiusura, 0, {&F::txtIP, &F::txtPorta, &F::txtTerminale, &F::txtCassa}, "", " "}};
    for (const CheckCase& c : cases) {
        ConsoleParts fresh;
        SCOPED_TRACE((fresh.frmMain.*c.button).name() + " " + c.message);
        fresh.frmMain.cmbConnessione.setListIndex(c.connection);
        for (TextBox FrmMain::*field : c.emptied)
            (fresh.frmMain.*field).setText(c.emptyText);

        (fresh.frmMain.*c.button).click();

        EXPECT_EQ(fresh.frmMain.txtEsito.text(), std::string(*c.message ? "" : "OK"));
        EXPECT_EQ(lockState(fresh.frmMain), Unlocked);
        if (*c.message == '\0') {
            EXPECT_EQ(fresh.library.calls().size(), 2u);
            EXPECT_TRUE(fresh.fake.messages.shown().empty());
            continue;
        }
        EXPECT_TRUE(fresh.library.calls().empty());
        ASSERT_EQ(fresh.fake.messages.shown().size(), 1u);
        const FakeMessageBoxes::Shown& box = fresh.fake.messages.shown()[0];
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.title, "Attenzione");
        EXPECT_EQ(box.icon, MessageIcon::Critical);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
}

// cmbConnessione alone picks the line, with no address check: Ethernet sends
// the console's address and port as typed; any other index, none selected
// included, the serial line with the list indexes as codes.
TEST_F(Console, TheConnectionSelectorPicksTheLineWithoutCheckingTheAddress) {
    frmMain.txtIP.setText("999.1.1");
    frmMain.txtPorta.setText("99999");
    btnTotali_Click(console);
    const EthInitRecord& eth = library.last("IAE17AX_InitEth").ethInit;
    EXPECT_EQ(text::trimRight(eth.IpAddress.text()), "999.1.1");
    EXPECT_EQ(text::trimRight(eth.Port.text()), "99999");

    frmMain.cmbCOM.setListIndex(9);
    frmMain.cmbBaud.setListIndex(4);
    frmMain.cmbDati.setListIndex(1);
    frmMain.cmbParity.setListIndex(2);
    frmMain.cmbStop.setListIndex(1);
    for (const int connection : {1, -1}) {
        library.clearCalls();
        frmMain.cmbConnessione.setListIndex(connection);
        btnChiusura_Click(console);
        EXPECT_EQ(library.entryPoints(),
                  (std::vector<std::string>{"IAE17AX_InitRS232", "IAE17AX_Closure"}));
        Rs232InitRecord line = library.last("IAE17AX_InitRS232").rs232Init;
        std::string codes;
        line.visit([&](const char*, const auto& field) { codes += field.text() + "|"; });
        EXPECT_EQ(codes, "COM10 |4 |1 |2 |1 |");
    }
}

// "Storno Preaut." is locked and unlocked with the others but does nothing,
// not even clear the outcome.
TEST_F(Console, ThePreauthorisationVoidDoesNothing) {
    EXPECT_TRUE(frmMain.btnStornoPreautorizzazione.click());
    EXPECT_EQ(frmMain.txtEsito.text(), "earlier outcome");
    EXPECT_TRUE(library.calls().empty());
    EXPECT_TRUE(fake.messages.shown().empty());
}

// A library or entry point that cannot be found is said in a box named after
// the button's procedure; the buttons do not stay locked.
TEST_F(Console, ALibraryFailureIsShownAndTheButtonsAreUnlocked) {
    library.failAlways("IAE17AX_Refund", RunTimeError(ErrorNumber::EntryPointNotFound,
                                                      "Can't find DLL entry point IAE17AX_Refund"));
    btnAccredito_Click(console);
    EXPECT_EQ(lockState(frmMain), Unlocked);

    library.failAlways(RunTimeError(ErrorNumber::FileNotFound, "File not found: libiae17.so"));
    btnPagamento_Click(console);
    EXPECT_EQ(lockState(frmMain), Unlocked);
    EXPECT_EQ(frmMain.txtEsito.text(), "");
    EXPECT_EQ(fake.messages.texts(),
              (std::vector<std::string>{
                  "btnAccredito_Click:Can't find DLL entry point IAE17AX_Refund,453",
                  "btnPagamento_Click:File not found: libiae17.so,53"}));
    EXPECT_FALSE(guarded.busy());
}

// Events let clicks through while the library works: the locked buttons do
// nothing, and "Stato", which stays enabled, does not reach the terminal
// either. Once the payment is over "Stato" sends the payment's request again.
TEST_F(Console, ClicksWhileAnOperationRunsStartNothing) {
    LibraryReply reply;
    reply.action = [&](PosRequest&, POSDATA&) {
        EXPECT_FALSE(frmMain.btnPagamento.click());
        EXPECT_TRUE(frmMain.btnStatus.click());
        EXPECT_FALSE(frmMain.btnStornoPreautorizzazione.click());
    };
    library.queueReply("IAE17AX_Payment", reply);
    btnPagamento_Click(console);
    EXPECT_EQ(library.entryPoints(),
              (std::vector<std::string>{"IAE17AX_InitEth", "IAE17AX_Payment"}));

    frmMain.txtImporto.setText("999");
    EXPECT_TRUE(frmMain.btnStatus.click());
    EXPECT_EQ(sent("IAE17AX_Status", &PosRequest::Amount), "1");
    EXPECT_EQ(sent("IAE17AX_Status", &PosRequest::TerminalId), "T0000001");
}

// While a command's operation shows its failure, the console must not run an
// operation whose outcome the command's result would then be read from.
TEST_F(Console, AClickWhileACommandsFailureBoxIsOpenDoesNothing) {
    params.ConnectionType = CommunicationParameters::Ethernet;
    records.ethInit.IpAddress.store("192.168.1.113");
    records.ethInit.Port.store("8080");
    library.failAlways("IAE17AX_PaymentExt",
                       RunTimeError(ErrorNumber::EntryPointNotFound, "Can't find DLL entry point"));
    fake.messages.whileOpen = [&](const FakeMessageBoxes::Shown&) {
        EXPECT_TRUE(frmMain.btnStatus.click());
    };
    EXPECT_EQ(KVL_EseguiPagamentoEsteso(terminal), "");
    EXPECT_EQ(library.count("IAE17AX_Status"), 0u);
    EXPECT_EQ(frmMain.txtEsito.text(), "");
}

} // namespace
} // namespace kvl
