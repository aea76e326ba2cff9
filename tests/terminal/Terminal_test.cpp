#include "platform/RunTimeError.h"
#include "platform/Text.h"
#include "platform/posix/DlLibraryLoader.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TempFolder.h"
#include "support/TerminalParts.h"
#include "terminal/ConnectionSetup.h"
#include "terminal/DynamicTerminalLibrary.h"
#include "terminal/TerminalProcedures.h"
#include "terminal/testlib/TestTerminalLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace kvl {
namespace {

// The packed image of the record, or the image the test library leaves of it.
template <class Record> std::string imageOf(Record record, bool rewritten = false) {
    const auto packed = packImage(record);
    std::string image(packed.begin(), packed.end());
    for (std::size_t i = 0; rewritten && i < image.size(); ++i)
        image[i] = libraryByte(image[i], i);
    return image;
}

// Each field (name, width), filled alone, lands after the ones before it in an image of NULs.
template <class Record> void layoutIs(const std::string& layout) {
    std::istringstream rows(layout);
    std::size_t width = 0, offset = 0;
    for (std::string wanted; rows >> wanted >> width; offset += width) {
        Record filled{};
        const std::string text(width, static_cast<char>('A' + offset % 26));
        filled.visit([&](const char* name, auto& field) {
            if (wanted == name)
                field.store(text);
        });
        EXPECT_EQ(imageOf(filled), std::string(Record::size, 0).replace(offset, width, text))
            << wanted;
    }
    EXPECT_EQ(offset, Record::size);
}

TEST(Records, EveryFieldHasItsOffsetAndWidth) {
    layoutIs<EthInitRecord>("IpAddress 16 Port 6");
    layoutIs<PosRequest>("Amount 9 CashRegisterId 9 PaymentType 2 TerminalId 9 ContractText 129 "
                         "PreauthorizationCode 10 Stan 7 Extra1 2 Extra2 2 Extra3 2 Extra4 2 "
                         "Extra5 6 Extra6 12 Extra7 11 Extra8 7");
    layoutIs<POSDATA>("TerminalId 9 AcquirerId 12 TransactionType 4 TransactionResult 3 "
                      "KODescription 25 CardType 2 STAN 7 POSBalance 17 BankBalance 17 PAN 20 "
                      "AuthorizationCode 7 OperationNumber 7 AmountAuth 9 PreauthorizationCode 10 "
                      "ActionCode 4 DataTrs 8 AmountEcho 9 Ticket 4097");
}

// Bound by IAE17_LIBRARY; the program folder holds the library without Refund.
struct Binding {
    explicit Binding(const std::string& variable) {
        ::setenv("IAE17_LIBRARY", variable.c_str(), 1);
        test::writeFile(folder.file("libiae17.so"),
                        test::readFile(std::string(KVL_BIN_DIR) + "/libiae17test_norefund.so"));
    }
    std::string call(Operation operation) {
        try {
            return std::to_string(library.call(operation, records.request, records.posData));
        } catch (const RunTimeError& error) {
            return std::to_string(error.number()) + " " + error.description();
        }
    }

    DlLibraryLoader loader;
    PosixFileSystem files;
    test::TempFolder folder;
    DynamicTerminalLibrary library{loader, files, folder.path()};
    TerminalRecords records;
};

TEST(TerminalLibraryBinding, EachEntryPointSendsItsRecordsSeesAllTheLibraryWroteOrFailsByNumber) {
    Binding binding(std::string(KVL_BIN_DIR) + "/libiae17test.so"); // Refund answers 12 below
    TerminalRecords& records = binding.records;
    const std::string lines = imageOf(records.ethInit, true) + imageOf(records.rs232Init, true);
    EXPECT_EQ(binding.library.IAE17AX_InitEth(records.ethInit), 1);
    EXPECT_EQ(binding.library.IAE17AX_InitRS232(records.rs232Init), 2);
    EXPECT_EQ(imageOf(records.ethInit) + imageOf(records.rs232Init), lines);
    for (int index = 0; index <= static_cast<int>(Operation::PreauthorizationClose); ++index) {
        const std::string sent = imageOf(records.request, true) + imageOf(records.posData, true);
        EXPECT_EQ(binding.call(static_cast<Operation>(index)), std::to_string(10 + index));
        EXPECT_EQ(imageOf(records.request) + imageOf(records.posData), sent) << index;
    }
    VersionBuffer version;
    binding.library.IAE17AX_GetVersion(version);
    EXPECT_EQ(std::string(version.data(), version.size()), "TESTLIB1.2");

    Binding inFolder(""); // as if unset: the program folder's
    const std::string path = inFolder.folder.file("libiae17.so");
    EXPECT_EQ(inFolder.call(Operation::Refund),
              "453 Can't find DLL entry point IAE17AX_Refund in " + path);
    EXPECT_EQ(inFolder.call(Operation::Payment), "10");

    Binding gone(path + ".gone");
    EXPECT_EQ(gone.call(Operation::Void).rfind("53 File not found: " + path + ".gone: ", 0), 0u);
}

struct Terminal : test::TerminalParts {
    Terminal() {
        records.ethInit.IpAddress.store("192.168.1.113");
        records.ethInit.Port.store("8080");
        frmMain.txtImporto.setText("100");
        frmMain.txtImportoAccredito.setText("250");
    }
};
struct Procedures : ::testing::Test, Terminal {};

TEST_F(Procedures, AnEthernetLineChecksTheAddressBeforeThePortAnRs232LineSendsItsCodes) {
    const char *const Ip = "Indirizzo IP non valido", *const Port = "Porta Eth non valida";
    const char* const rows[][3] = {
        // address, port, message
        {"192.168.1.113", "9999", ""}, {"-1.0.0.1", " 8080", ""},   {"1.2.3.4.5", "1", ""},
        {"192.168.1", "8080", Ip},     {"192.168.1.256", "80", Ip}, {"a.b.c.d", "80x", Ip},
        {"   ", "8080", Ip},           {"1.2.3.4", "0", Port},      {"1.2.3.4", "", Port},
        {"1.2.3.4", "10000", Port},    {"1.2.3.4", "80x", Port}};
    for (const auto& row : rows) {
        records.ethInit.IpAddress.store(row[0]);
        records.ethInit.Port.store(row[1]);
        EXPECT_EQ(VerificaIndirizzoEth(terminal), row[2]) << row[0] << ":" << row[1];
    }
    // On RS-232 the bad port is not looked at; the list indexes are the codes.
    params.ConnectionType = CommunicationParameters::Rs232;
    frmMain.cmbBaud.setListIndex(3);   // 4800
    frmMain.cmbDati.setListIndex(0);   // 7 bits
    frmMain.cmbParity.setListIndex(2); // Even
    frmMain.cmbStop.setListIndex(1);   // 2 stop bits
    EXPECT_EQ(KVL_Totali(terminal), "");
    EXPECT_EQ(imageOf(library.last("IAE17AX_InitRS232").rs232Init), "      3 0 2 1 ");
}

struct OperationCase {
    std::string (*procedure)(TerminalContext&);
    const char* entryPoint;
    TextBox FrmMain::*amountField; // nullptr: no amount check
    std::string failureLabel;      // empty: failures reach the caller
};

struct Operations : Procedures, ::testing::WithParamInterface<OperationCase> {};

// After the status the handlers run first, only the operation's own success reads "OK".
TEST_P(Operations, NothingButItsOwnSuccessReadsOKAfterAGoodStatus) {
    const OperationCase& op = GetParam();
    const std::function<void(Terminal&)> mishaps[] = {
        [&](Terminal& t) { t.library.failAlways(op.entryPoint, RunTimeError(53, "gone")); },
        [&](Terminal& t) { t.library.queueResult(op.entryPoint, 7); },
        [&](Terminal& t) { t.records.ethInit.IpAddress.store("192.168.1"); },
        [&](Terminal& t) { t.records.ethInit.Port.store("10000"); },
        [&](Terminal& t) { (t.frmMain.*op.amountField).setText(""); }};
    const std::string left[] = {op.failureLabel + "gone,53", "", "Indirizzo IP non valido",
                                "Porta Eth non valida", "Valore importo non valido"};
    for (std::size_t i = 0; i < (op.amountField ? 5u : 4u); ++i) {
        Terminal after;
        after.library.queueReply("IAE17AX_Status",
                                 {0, {{"TransactionResult", "00"}, {"KODescription", "OK"}}, {}});
        ASSERT_EQ(KVL_Status(after.terminal), "");
        ASSERT_EQ(after.frmMain.txtEsito.text() + after.frmMain.txtEsitoTrans.text(), "OK00 ");
        mishaps[i](after);
        std::string returned;
        try {
            returned = op.procedure(after.terminal);
        } catch (const RunTimeError& failure) {
            returned = failure.description() + "," + std::to_string(failure.number());
        }
        for (const std::string& box : after.fake.messages.texts())
            returned += box;
        EXPECT_EQ(returned, left[i]) << i;
        EXPECT_TRUE(i < 2 || after.library.calls().size() == 2) << i; // those of the status
        EXPECT_NE(after.frmMain.txtEsito.text(), "OK") << i;
        EXPECT_EQ(after.frmMain.txtEsitoTrans.text() + after.frmMain.txtDescrKO.text(), "") << i;
    }
    Terminal clean;
    EXPECT_EQ(op.procedure(clean.terminal), "");
    EXPECT_EQ(clean.library.entryPoints(),
              (std::vector<std::string>{"IAE17AX_InitEth", op.entryPoint}));
    EXPECT_EQ(clean.frmMain.txtEsito.text(), "OK");
}

using F = FrmMain;
const OperationCase Cases[] = {
    {KVL_EseguiPagamento, "IAE17AX_Payment", &F::txtImporto, "KVL_EseguiPagamento:"},
    {KVL_EseguiPagamentoEsteso, "IAE17AX_PaymentExt", &F::txtImporto, "KVL_EseguiPagamentoEsteso:"},
    {KVL_Accredito, "IAE17AX_Refund", &F::txtImportoAccredito, ""},
    {KVL_Storno, "IAE17AX_Void", &F::txtImporto, "KVL_Storno:"},
    {KVL_Totali, "IAE17AX_TerminalBalance", nullptr, "KVL_Totali:"},
    {KVL_Chiusura, "IAE17AX_Closure", nullptr, "KVL_Chiusura:"}};
INSTANTIATE_TEST_SUITE_P(Procedures, Operations, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.entryPoint + 8); });

TEST_F(Procedures, StatusShowsTheCodeAndOnlyASuccessfulAnswerAndIsReachableUnlessAnErrorReads) {
    records.posData.visit([](const char* name, auto& field) { field.store(name); });
    // txtEsito before, code, txtEsito after, whether the terminal counts as reachable
    const char* const rows[][4] = {
        {"OK", "1", "COM ERROR", "no"},     {"OK", "2", "PROTOCOL ERROR", "no"},
        {"OK", "3", "TIMEOUT ERROR", "no"}, {"OK", "4", "FUNZIONE NON SUPPORTATA", "no"},
        {"OK", "7", "OK", "yes"},           {"COM ERROR", "7", "COM ERROR", "no"},
        {"COM ERROR", "0", "OK", "yes"}};
    for (auto [before, code, after, reachable] : rows) {
        for (TextBox* box : frmMain.answerFields())
            box->setText("old");
        frmMain.txtEsito.setText(before);
        library.queueResult("IAE17AX_Status", static_cast<short>(*code - '0'));
        EXPECT_EQ(KVL_Status(terminal), *reachable == 'y' ? "" : after) << before << code;
        EXPECT_EQ(frmMain.txtEsito.text(), after) << before << code;
        std::string shown; // the answer boxes changed, only by a success
        for (TextBox* box : frmMain.answerFields())
            shown += box->text() == "old" ? "" : box->name() + "=" + text::trim(box->text()) + " ";
        EXPECT_EQ(
            shown,
            *code != '0'
                ? ""
                : "txtTermId=TerminalI txtAcqId=AcquirerId txtTipoTrans=Tran txtEsitoTrans=Tra "
                  "txtDescrKO=KODescription txtTipoCarta=Ca txtSTAN=STAN txtTotaliPOS=POSBalance "
                  "txtTotaliBanca=BankBalance txtPAN=PAN txtCodAut=Authori txtNumOp=Operati "
                  "txtCodPreaut=Preauthori txtImpPreaut=AmountAut txtAC=Acti txtData=DataTrs ");
    }
}

} // namespace
} // namespace kvl
