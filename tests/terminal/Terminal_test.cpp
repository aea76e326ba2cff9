#include "platform/DlLibraryLoader.h"
#include "platform/RunTimeError.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"
#include "support/TempFolder.h"
#include "terminal/ConnectionSetup.h"
#include "terminal/DynamicTerminalLibrary.h"
#include "terminal/OutcomePresentation.h"
#include "terminal/TerminalProcedures.h"
#include "terminal/testlib/TestTerminalLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kvl {
namespace {

// The packed image of the record, or the image the test library leaves of it.
template <class Record> std::string imageOf(Record& record, bool rewritten = false) {
    const auto packed = packImage(record);
    std::string image(packed.begin(), packed.end());
    for (std::size_t i = 0; rewritten && i < image.size(); ++i)
        image[i] = libraryByte(image[i], i);
    return image;
}

// Each field, filled alone, lands at its offset and width of the image and
// nowhere else; the fields cover the whole image, which starts as NULs and
// reads back byte for byte. The layout lists name, offset and width of every
// field in image order.
template <class Record> void expectLayout(std::size_t size, const std::string& layout) {
    Record blank{};
    EXPECT_EQ(imageOf(blank), std::string(size, '\0'));
    std::istringstream rows(layout);
    std::string fieldName;
    std::size_t offset = 0, width = 0, covered = 0;
    while (rows >> fieldName >> offset >> width) {
        Record filled{};
        const std::string text(width, static_cast<char>('A' + covered % 26));
        filled.visit([&](const char* name, auto& field) {
            if (fieldName == name)
                field.store(text);
        });
        EXPECT_EQ(imageOf(filled), std::string(size, '\0').replace(offset, width, text))
            << fieldName;
        covered += width;
    }
    EXPECT_EQ(covered, size);
    std::array<char, Record::size> image{}; // every byte value, NULs too, comes back
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 7);
    Record copy;
    unpackImage(copy, image);
    EXPECT_EQ(packImage(copy), image);
}

TEST(Records, EveryFieldHasItsOffsetAndWidthAndImagesRoundTrip) {
    expectLayout<EthInitRecord>(22, "IpAddress 0 16 Port 16 6");
    expectLayout<Rs232InitRecord>(
        14, "ComPort 0 6 BaudCode 6 2 DataBitsCode 8 2 ParityCode 10 2 StopBitsCode 12 2");
    expectLayout<PosRequest>(
        219, "Amount 0 9 CashRegisterId 9 9 PaymentType 18 2 TerminalId 20 9 "
             "ContractText 29 129 PreauthorizationCode 158 10 Stan 168 7 Extra1 175 2 "
             "Extra2 177 2 Extra3 179 2 Extra4 181 2 Extra5 183 6 Extra6 189 12 Extra7 201 11 "
             "Extra8 212 7");
    expectLayout<POSDATA>(
        4267, "TerminalId 0 9 AcquirerId 9 12 TransactionType 21 4 TransactionResult 25 3 "
              "KODescription 28 25 CardType 53 2 STAN 55 7 POSBalance 62 17 BankBalance 79 17 "
              "PAN 96 20 AuthorizationCode 116 7 OperationNumber 123 7 AmountAuth 130 9 "
              "PreauthorizationCode 139 10 ActionCode 149 4 DataTrs 153 8 AmountEcho 161 9 "
              "Ticket 170 4097");
}

TEST(Records, TextIsBlankPaddedAndCutAndExtrasTravelAsNuls) {
    EthInitRecord eth;
    eth.IpAddress.store("192.168.100.11345"); // 17 characters
    eth.Port.store("123");
    EXPECT_EQ(imageOf(eth), "192.168.100.1134123   ");

    PosRequest request;
    request.visit([](const char* name, auto& field) {
        if (std::string(name).rfind("Extra", 0) != 0) // the program never writes these
            field.store("9");
    });
    const std::string image = imageOf(request);
    EXPECT_EQ(image.substr(0, 11), "9        9 ");
    EXPECT_EQ(image.substr(168), "9      " + std::string(44, '\0'));
}

const std::string FullLibrary = std::string(KVL_BIN_DIR) + "/libiae17test.so";
const std::string WithoutRefund = std::string(KVL_BIN_DIR) + "/libiae17test_norefund.so";

// A binding by IAE17_LIBRARY=variable; its program folder holds the library sans Refund.
struct Binding {
    explicit Binding(const std::string& variable) {
        ::setenv("IAE17_LIBRARY", variable.c_str(), 1);
        test::writeFile(folder.file("libiae17.so"), test::readFile(WithoutRefund));
    }
    short call(Operation operation) {
        return library.call(operation, records.request, records.posData);
    }
    // The result of a refund, or "number description" of the RunTimeError it raises.
    std::string refund() {
        try {
            return std::to_string(call(Operation::Refund));
        } catch (const RunTimeError& error) {
            return std::to_string(error.number()) + " " + error.description();
        }
    }

    DlLibraryLoader loader;
    test::TempFolder folder;
    DynamicTerminalLibrary library{loader, folder.path()};
    TerminalRecords records;
};

TEST(TerminalLibraryBinding, EveryEntryPointSendsItsRecordsAndSeesAllTheLibraryWrote) {
    Binding binding(FullLibrary);
    TerminalRecords& records = binding.records;

    const std::string lines = imageOf(records.ethInit, true) + imageOf(records.rs232Init, true);
    EXPECT_EQ(binding.library.IAE17AX_InitEth(records.ethInit), 1);
    EXPECT_EQ(binding.library.IAE17AX_InitRS232(records.rs232Init), 2);
    EXPECT_EQ(imageOf(records.ethInit) + imageOf(records.rs232Init), lines);
    for (int index = 0; index <= static_cast<int>(Operation::PreauthorizationClose); ++index) {
        const std::string sent = imageOf(records.request, true) + imageOf(records.posData, true);
        EXPECT_EQ(binding.call(static_cast<Operation>(index)), 10 + index);
        EXPECT_EQ(imageOf(records.request) + imageOf(records.posData), sent) << index;
    }
    VersionBuffer version;
    binding.library.IAE17AX_GetVersion(version);
    EXPECT_EQ(std::string(version.data(), version.size()), TestLibraryVersion);
    EXPECT_NO_THROW(binding.library.IAE17AX_Free());
}

TEST(TerminalLibraryBinding, VariableFirstThenProgramFolderMissingPiecesFailByNumber) {
    Binding byVariable(FullLibrary);
    EXPECT_EQ(byVariable.library.libraryPath(), FullLibrary);
    EXPECT_EQ(byVariable.refund(), "12");

    Binding inFolder(""); // as if unset
    const std::string path = inFolder.folder.file("libiae17.so");
    EXPECT_EQ(inFolder.library.libraryPath(), path);
    EXPECT_EQ(inFolder.refund(), "453 Can't find DLL entry point IAE17AX_Refund in " + path);
    EXPECT_EQ(inFolder.call(Operation::Payment), 10);

    const std::string gone = path + ".gone";
    Binding missing(gone);
    EXPECT_EQ(missing.refund().rfind("53 File not found: " + gone + ": ", 0), 0u);
}

using Texts = std::vector<std::string>;

// A program on fake services and the scripted library, for a good Ethernet terminal.
struct Terminal {
    Terminal() {
        program.records.ethInit.IpAddress.store("192.168.1.113");
        program.records.ethInit.Port.store("8080");
        form().txtImporto.setText("123");
        form().txtImportoAccredito.setText("250");
    }
    FrmMain& form() { return program.frmMain; }

    test::FakePlatform platform;
    test::FakeTerminalLibrary library;
    Program program{platform.platform(), library};
};
struct Procedures : ::testing::Test, Terminal {};

TEST_F(Procedures, VerificaIndirizzoEthChecksTheAddressBeforeThePortAndNothingForRs232) {
    const char *const Ip = "Indirizzo IP non valido", *const Port = "Porta Eth non valida";
    const char* const rows[][3] = {
        // address, port, message
        {"192.168.1.113", "9999", ""}, {"-1.0.0.1", " 8080", ""},   {"1.2.3.4.5", "1", ""},
        {"192.168.1", "8080", Ip},     {"192.168.1.256", "80", Ip}, {"a.b.c.d", "80x", Ip},
        {"   ", "8080", Ip},           {"1.2.3.4", "0", Port},      {"1.2.3.4", "", Port},
        {"1.2.3.4", "10000", Port},    {"1.2.3.4", "80x", Port}};
    for (const auto& row : rows) {
        program.records.ethInit.IpAddress.store(row[0]);
        program.records.ethInit.Port.store(row[1]);
        EXPECT_EQ(VerificaIndirizzoEth(program), row[2]) << row[0] << ":" << row[1];
    }
    program.params.ConnectionType = CommunicationParameters::Rs232;
    EXPECT_EQ(VerificaIndirizzoEth(program), "");
}

struct OperationCase {
    std::string (*procedure)(Program&);
    const char* entryPoint;
    TextBox FrmMain::*amountField; // nullptr: no amount check
    const char* amountSent;
    const char* failureLabel; // nullptr: failures reach the caller
};

struct Operations : Procedures, ::testing::WithParamInterface<OperationCase> {
    const char* entryPoint() const { return GetParam().entryPoint; }
};

TEST_P(Operations, InitialiseTheConfiguredLineThenSendTheFilledRequest) {
    EXPECT_EQ(GetParam().procedure(program), "");
    EXPECT_EQ(library.entryPoints(), (Texts{"IAE17AX_InitEth", entryPoint()}));
    const auto& call = library.last(entryPoint());
    EXPECT_EQ(call.request.Amount.text(), GetParam().amountSent);
    // Only the void sends the amount field, its trace number, as STAN too.
    EXPECT_EQ(call.answer.STAN.text(),
              call.entryPoint == "IAE17AX_Void" ? "123    " : std::string(7, '\0'));
    EXPECT_EQ(form().txtEsito.text(), "OK");
}

// The command handlers run KVL_Status right before the operation, which
// leaves "OK" in txtEsito. Only the operation's own success may keep it there.
TEST_P(Operations, NothingButItsOwnSuccessReadsOKAfterAGoodStatus) {
    const std::string label = GetParam().failureLabel ? GetParam().failureLabel : "";
    // Run-time failures (shown in a box), error codes, refusals (returned, no call made).
    const std::function<void(Terminal&)> mishaps[] = {
        [&](Terminal& t) { t.library.failAlways(entryPoint(), RunTimeError(53, "gone")); },
        [&](Terminal& t) { t.library.failAlways("IAE17AX_InitEth", RunTimeError(453, "no")); },
        [&](Terminal& t) { t.library.queueResult(entryPoint(), 7); },
        [&](Terminal& t) { t.library.queueResult(entryPoint(), ResultCode::TimeoutError); },
        [&](Terminal& t) { t.program.records.ethInit.IpAddress.store("192.168.1"); },
        [&](Terminal& t) { t.program.records.ethInit.Port.store("10000"); },
        [&](Terminal& t) { (t.form().*GetParam().amountField).setText(""); }};
    const std::string boxes[] = {"gone,53", "no,453"};
    const std::string refusals[] = {"Indirizzo IP non valido", "Porta Eth non valida",
                                    "Valore importo non valido"};
    for (std::size_t i = 0; i < (GetParam().amountField ? 7u : 6u); ++i) {
        Terminal after;
        test::LibraryReply status;
        status.answerFields = {{"TransactionResult", "00"}, {"KODescription", "STATO OK"}};
        after.library.queueReply("IAE17AX_Status", status);
        ASSERT_EQ(KVL_Status(after.program), "");
        ASSERT_EQ(after.form().txtEsito.text() + after.form().txtEsitoTrans.text(), "OK00 ");
        mishaps[i](after);

        std::string returned = "(threw)";
        try {
            returned = GetParam().procedure(after.program);
        } catch (const RunTimeError&) {
        }
        const bool failed = i < 2, refused = i >= 4;
        EXPECT_EQ(returned, failed && label.empty() ? "(threw)" : refused ? refusals[i - 4] : "");
        EXPECT_EQ(after.platform.messages.texts(),
                  failed && !label.empty() ? Texts{label + boxes[i]} : Texts{});
        EXPECT_TRUE(!refused || after.library.calls().size() == 2) << i; // those of the status
        EXPECT_NE(after.form().txtEsito.text(), "OK") << i;
        EXPECT_EQ(after.form().txtEsitoTrans.text() + after.form().txtDescrKO.text(), "") << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Procedures, Operations,
    ::testing::Values(
        OperationCase{KVL_EseguiPagamento, "IAE17AX_Payment", &FrmMain::txtImporto, "123      ",
                      "KVL_EseguiPagamento:"},
        OperationCase{KVL_EseguiPagamentoEsteso, "IAE17AX_PaymentExt", &FrmMain::txtImporto,
                      "123      ", "KVL_EseguiPagamentoEsteso:"},
        OperationCase{KVL_Accredito, "IAE17AX_Refund", &FrmMain::txtImportoAccredito, "250      ",
                      nullptr},
        OperationCase{KVL_Storno, "IAE17AX_Void", &FrmMain::txtImporto, "123      ", "KVL_Storno:"},
        OperationCase{KVL_Totali, "IAE17AX_TerminalBalance", nullptr, "         ", "KVL_Totali:"},
        OperationCase{KVL_Chiusura, "IAE17AX_Closure", nullptr, "         ", "KVL_Chiusura:"}),
    [](const auto& info) { return std::string(info.param.entryPoint + 8); });

TEST_F(Procedures, Rs232LineSendsTheCodesOfTheListIndexes) {
    program.params.ConnectionType = CommunicationParameters::Rs232;
    form().cmbBaud.setListIndex(3);   // 4800
    form().cmbParity.setListIndex(2); // Even
    EXPECT_EQ(KVL_Totali(program), "");
    const Rs232InitRecord& line = library.last("IAE17AX_InitRS232").rs232Init;
    EXPECT_EQ(line.BaudCode.text() + line.ParityCode.text(), "3 2 ");
}

TEST_F(Procedures, StatusIsReachableUnlessTheOutcomeReadsAnError) {
    // txtEsito before, code, txtEsito after, returned
    const std::tuple<const char*, short, const char*, const char*> rows[] = {
        {"OK", 1, "COM ERROR", "COM ERROR"},
        {"OK", 7, "OK", ""},
        {"COM ERROR", 7, "COM ERROR", "COM ERROR"}};
    for (auto [before, code, after, returned] : rows) {
        form().txtEsito.setText(before);
        library.queueResult("IAE17AX_Status", code);
        EXPECT_EQ(KVL_Status(program), returned) << before << code;
        EXPECT_EQ(form().txtEsito.text(), after) << before << code;
    }
}

TEST_F(Procedures, PreparaRichiestaTakesTheAmountOfItsKind) {
    form().txtImportoPreAut.setText("9999");
    form().txtContratto.setText("");
    form().cmbPagamento.setListIndex(2); // Credito
    program.records.request.ContractText.store("earlier");
    const char* const amounts[] = {"         ", "123      ", "250      ", "9999     "};
    for (short kind = 0; kind < 4; ++kind) {
        PreparaRichiesta(program, kind);
        EXPECT_EQ(program.records.request.Amount.text(), amounts[kind]);
        EXPECT_EQ(program.records.request.ContractText.text(),
                  kind == 3 ? std::string(129, ' ') : "earlier" + std::string(122, ' '));
        EXPECT_EQ(program.records.request.PaymentType.text(), "2 ");
    }
}

TEST_F(Procedures, MostraEsitoShowsTheCodeAndOnlyASuccessfulAnswer) {
    std::istringstream pairs(
        "TerminalId txtTermId AcquirerId txtAcqId TransactionType txtTipoTrans TransactionResult "
        "txtEsitoTrans KODescription txtDescrKO CardType txtTipoCarta STAN txtSTAN POSBalance "
        "txtTotaliPOS BankBalance txtTotaliBanca PAN txtPAN AuthorizationCode txtCodAut "
        "OperationNumber txtNumOp AmountAuth txtImpPreaut PreauthorizationCode txtCodPreaut "
        "ActionCode txtAC DataTrs txtData");
    std::map<std::string, std::string> shown; // box -> text of its answer field
    for (std::string fieldName, box; pairs >> fieldName >> box;)
        program.records.posData.visit([&](const char* name, auto& field) {
            if (fieldName == name) {
                field.store(fieldName + "!");
                shown[box] = field.text();
            }
        });
    ASSERT_EQ(shown.size(), 16u);
    const std::pair<short, const char*> codes[] = {
        {1, "COM ERROR"}, {2, "PROTOCOL ERROR"},          {3, "TIMEOUT ERROR"},
        {7, "earlier"},   {4, "FUNZIONE NON SUPPORTATA"}, {0, "OK"}};
    for (auto [code, text] : codes) {
        form().txtEsito.setText("earlier");
        for (TextBox* box : form().answerFields())
            box->setText("old");
        MostraEsito(program, code);
        EXPECT_EQ(form().txtEsito.text(), text);
        for (TextBox* box : form().answerFields())
            EXPECT_EQ(box->text(), code == 0 ? shown[box->name()] : "old") << box->name();
    }
}

TEST_F(Procedures, ControllaCampiStopsAtTheFirstEmptyFieldSkippingTheAddressForRs232) {
    // connection, IP, port, terminal, cash desk, the field reported
    const char* const rows[][6] = {
        {"0", " ", " ", " ", " ", ""},         {"0", "", "", "", "", "indirizzo IP"},
        {"0", "1", "", "", "", "Porta"},       {"0", "1", "80", "", "", "Id Terminale"},
        {"0", "1", "80", "T", "", "Id Cassa"}, {"1", "", "", "T", "", "Id Cassa"}};
    for (const auto& row : rows) {
        platform.messages.clear();
        form().cmbConnessione.setListIndex(std::stoi(row[0]));
        form().txtIP.setText(row[1]);
        form().txtPorta.setText(row[2]);
        form().txtTerminale.setText(row[3]);
        form().txtCassa.setText(row[4]);
        const std::string field = row[5];
        EXPECT_EQ(ControllaCampi(program), field.empty());
        EXPECT_EQ(platform.messages.texts(),
                  field.empty() ? Texts{}
                                : Texts{"Attenzione il campo " + field + " deve essere compilato"});
    }
}

} // namespace
} // namespace kvl
