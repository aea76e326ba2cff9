#include "console/ConsoleOperations.h"

#include "console/ConsoleProcedures.h"
#include "platform/Text.h"
#include "support/TerminalParts.h"
#include "terminal/TerminalProcedures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kvl {
namespace {

using F = FrmMain;
using text::trimRight;

// "1" for each enabled button (the nine an operation locks, then btnStatus),
// "+" while the hourglass shows.
std::string locks(FrmMain& f) {
    std::string state;
    for (const Button* b : {&f.btnChiusura, &f.btnAccredito, &f.btnIntegrativa, &f.btnPagamento,
                            &f.btnPreautorizzazione, &f.btnPreautChiusura, &f.btnStorno,
                            &f.btnStornoPreautorizzazione, &f.btnTotali, &f.btnStatus})
        state += b->enabled() ? '1' : '0';
    return state + (f.busyPointer ? "+" : "");
}

// The console of the Interactive mode on Ethernet, every field filled, the
// records as an earlier operation left them; every operation answers OK.
struct ConsoleParts : test::TerminalParts {
    ConsoleParts() {
        attachConsoleProcedures(console);
        frmMain.cmbConnessione.setListIndex(0);
        frmMain.txtTerminale.setText("T0000001");
        frmMain.txtImporto.setText("250");
        frmMain.txtImportoAccredito.setText("300");
        frmMain.txtImportoPreAut.setText("400");
        frmMain.txtCodicePreautorizzazione.setText("PA1");
        frmMain.txtEsito.setText("earlier");
        records.request.Amount.store("777");
        records.request.TerminalId.store("EARLIER");
        records.posData.STAN.store("0000123");
        for (int op = 0; op <= static_cast<int>(Operation::PreauthorizationClose); ++op) {
            test::LibraryReply reply{ResultCode::Ok, {{"PAN", "4111"}}, {}};
            reply.action = [this](PosRequest&, POSDATA&) {
                during = locks(frmMain);
                if (meanwhile)
                    meanwhile();
            };
            library.queueReply(entryPointName(static_cast<Operation>(op)), reply);
        }
    }

    // What a click did: the library's calls, the operation's Amount,
    // TerminalId and STAN, the buttons during the call and after, the outcome
    // shown, then any box ("!" for the critical-stop icon) or file written.
    std::string click(Button F::*button) {
        (frmMain.*button).click();
        std::string did;
        for (const test::LibraryCall& call : library.calls())
            did += call.entryPoint.substr(8) + ",";
        if (library.calls().size() == 2) {
            const test::LibraryCall& op = library.calls()[1];
            did += trimRight(op.request.Amount.text()) + " " +
                   trimRight(op.request.TerminalId.text()) + " " + op.answer.STAN.text() + " " +
                   during + " ";
        }
        did += locks(frmMain) + " " + frmMain.txtEsito.text() + trimRight(frmMain.txtPAN.text());
        for (const auto& box : fake.messages.shown())
            did += " [" + box.title + (box.icon == MessageIcon::Critical ? "!] " : "] ") + box.text;
        return did + (fake.files.changes().empty() ? "" : " files changed");
    }

    ConsoleContext console{terminal, fake.events};
    std::string during;
    std::function<void()> meanwhile; // what the operator does while the library works
};

// The fields are checked in order (the address on Ethernet only); the first
// empty one stops before anything is locked, a blank counts as filled. Then
// the line, and the operation's request with the buttons locked.
TEST(ConsoleButtons, EachChecksItsFieldsInOrderThenSendsItsRequestWithTheButtonsLocked) {
    const std::string after = " 0000123 0000000001+ 1111111111 OK4111", ran = " T0000001" + after;
    const auto ip = &F::txtIP, port = &F::txtPorta, id = &F::txtTerminale, cash = &F::txtCassa,
               code = &F::txtCodicePreautorizzazione;
    struct Case {
        Button F::*button;
        std::string did; // "!field": stopped by that empty field
        int connection = 0;
        std::vector<TextBox F::*> emptied = {};
        const char* left = "";
    } cases[] = {
        {&F::btnPagamento, "InitEth,Payment,1" + ran},
        {&F::btnStorno, "InitEth,Void,250" + ran},
        {&F::btnAccredito, "InitEth,Refund,1" + ran},
        {&F::btnPreautorizzazione, "InitEth,Preauthorization,400" + ran, 0, {code}},
        {&F::btnIntegrativa, "InitEth,PreauthorizationInt,400" + ran},
        {&F::btnPreautChiusura, "InitEth,PreauthorizationClose,400" + ran},
        {&F::btnTotali, "InitEth,TerminalBalance," + ran},
        {&F::btnChiusura, "InitEth,Closure, " + after, 0, {ip, port, id, cash}, " "},
        {&F::btnStatus, "InitEth,Status,777 EARLIER" + after},
        {&F::btnStornoPreautorizzazione, "1111111111 earlier"},
        {&F::btnStatus, "!indirizzo IP", 0, {ip, port, id}},
        {&F::btnStatus, "!Porta", 0, {port, id}},
        {&F::btnStatus, "!Id Terminale", 1, {ip, port, id}},
        {&F::btnTotali, "InitRS232,TerminalBalance," + ran, -1, {ip, port}},
        {&F::btnPagamento, "!Id Cassa", 0, {cash, &F::txtImporto}},
        {&F::btnStorno, "!Importo", 0, {&F::txtImporto}},
        {&F::btnAccredito, "!Importo Accredito", 0, {&F::txtImportoAccredito}},
        {&F::btnIntegrativa, "!Importo Preautorizzazione", 0, {&F::txtImportoPreAut, code}},
        {&F::btnPreautChiusura, "!Codice Preautorizzazione", 0, {code}}};
    for (const Case& c : cases) {
        ConsoleParts parts;
        parts.frmMain.cmbConnessione.setListIndex(c.connection);
        for (TextBox F::*field : c.emptied)
            (parts.frmMain.*field).setText(c.left);
        EXPECT_EQ(parts.click(c.button), c.did[0] != '!'
                                             ? c.did
                                             : "1111111111  [Attenzione!] Attenzione il campo " +
                                                   c.did.substr(1) + " deve essere compilato");
    }
}

// Ethernet sends the address and port unchecked, the serial line the list
// indexes as codes.
TEST(ConsoleButtons, TheConnectionSelectorPicksTheLineWithoutCheckingTheAddress) {
    ConsoleParts parts;
    parts.frmMain.txtIP.setText("999.1.1");
    parts.frmMain.txtPorta.setText("0");
    parts.click(&F::btnTotali);
    const EthInitRecord& eth = parts.library.last("IAE17AX_InitEth").ethInit;
    EXPECT_EQ(eth.IpAddress.text() + eth.Port.text(), "999.1.1         0     ");
    ConsoleParts serial;
    for (auto [list, index] : {std::pair{&serial.frmMain.cmbConnessione, 1},
                               {&serial.frmMain.cmbCOM, 9},
                               {&serial.frmMain.cmbBaud, 4},
                               {&serial.frmMain.cmbDati, 1},
                               {&serial.frmMain.cmbParity, 2},
                               {&serial.frmMain.cmbStop, 1}})
        list->setListIndex(index);
    EXPECT_EQ(serial.click(&F::btnChiusura).substr(0, 18), "InitRS232,Closure,");
    std::string codes;
    Rs232InitRecord line = serial.library.last("IAE17AX_InitRS232").rs232Init;
    line.visit([&](const char*, const auto& field) { codes += field.text() + "|"; });
    EXPECT_EQ(codes, "COM10 |4 |1 |2 |1 |");
}

// A missing library or entry point is said, the buttons unlocked.
TEST(ConsoleButtons, ALibraryFailureIsShownAndTheButtonsAreUnlocked) {
    ConsoleParts parts;
    parts.library.failAlways("IAE17AX_Refund",
                             RunTimeError(ErrorNumber::EntryPointNotFound, "no IAE17AX_Refund"));
    EXPECT_EQ(parts.click(&F::btnAccredito),
              "InitEth,Refund,1 T0000001 0000123  1111111111  [KvlTalvioPos] "
              "btnAccredito_Click:no IAE17AX_Refund,453");
    ConsoleParts missing;
    missing.library.failAlways(RunTimeError(ErrorNumber::FileNotFound, "File not found"));
    EXPECT_EQ(missing.click(&F::btnPagamento),
              "InitEth,1111111111  [KvlTalvioPos] btnPagamento_Click:File not found,53");
}

// While the console's payment or a command's failure box holds the terminal,
// the locked buttons and "Stato", which stays enabled, start nothing.
TEST(ConsoleButtons, ClicksWhileAnExchangeHoldsTheTerminalStartNothing) {
    ConsoleParts parts;
    std::string clicked;
    parts.meanwhile = [&] {
        clicked += parts.frmMain.btnPagamento.click() ? "ran " : "refused ";
        clicked += parts.frmMain.btnStatus.click() ? "ran" : "refused";
    };
    parts.frmMain.btnPagamento.click();
    EXPECT_EQ(clicked, "refused ran");
    EXPECT_EQ(parts.library.entryPoints(),
              (std::vector<std::string>{"IAE17AX_InitEth", "IAE17AX_Payment"}));

    parts.records.ethInit.IpAddress.store("192.168.1.113");
    parts.records.ethInit.Port.store("8080");
    parts.library.failAlways("IAE17AX_PaymentExt", RunTimeError(453, "no IAE17AX_PaymentExt"));
    parts.fake.messages.whileOpen = [&](const auto&) { parts.frmMain.btnStatus.click(); };
    EXPECT_EQ(KVL_EseguiPagamentoEsteso(parts.terminal), "");
    EXPECT_EQ(parts.library.count("IAE17AX_Status"), 0u);
    EXPECT_EQ(parts.frmMain.txtEsito.text(), "");
}

} // namespace
} // namespace kvl
