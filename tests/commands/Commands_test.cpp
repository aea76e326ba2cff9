#include "commands/CommandContext.h"
#include "commands/CommandHandlers.h"
#include "commands/Dispatcher.h"
#include "commands/ResultWriter.h"
#include "shell/forms/FrmWpos1Type.h"
#include "support/TerminalParts.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <tuple>

namespace kvl::test {
namespace {

const std::string Generic = "ERRORE GENERICO, PROBABILI PARAMETRI NON CORRETTI";
const std::string ResultFile = "/ecr/SR_OUT.TXT";
const std::string Separator = std::string(52, '-') + "\r\n";

// Fake services, the clock at 2025-03-14 09:30:05, the ECR's files in /ecr;
// RS-232, so that no address check stands in the way; a request already typed.
class CommandsFixture : public ::testing::Test, public TerminalParts {
protected:
    CommandsFixture() {
        params.ConnectionType = CommunicationParameters::Rs232;
        params.CommandFilePath = "/ecr/SR_DATI.TXT";
        params.ResultFilePath = ResultFile;
        fake.files.addDirectory("/ecr");
        fake.clock.setLocalTime({2025, 3, 14, 9, 30, 5});
        records.request.Amount.store("000000777");
        records.request.CashRegisterId.store("CASSA01");
    }

    std::string run(const std::string& commandFile, bool ecrIdRequired = false) {
        fake.files.addFile(params.CommandFilePath, commandFile);
        return ElaboraFileComandi(commands, params.CommandFilePath, ecrIdRequired);
    }

    FrmWpos1Type frmWpos1Type;
    bool handlersEcrIdRequired = false;
    CommandContext commands{terminal, fake.platform(), frmWpos1Type, handlersEcrIdRequired};
};

// The six result lines of a command run at the fixture's time.
std::string sixLines(const std::string& command, const std::string& esito,
                     const std::string& esitoTrans, const std::string& descrizione,
                     const std::string& exerr) {
    return "TIPO_COMANDO  = " + command + "\r\nESITO_COMANDO = " + esito +
           "\r\nESITO_TRANSAZ = " + esitoTrans + "\r\nDATAORA_TRANS = 20250314_093005\r\n" +
           "ERROR_DESCRIZ = " + descrizione + "\r\nEXERR_DESCRIZ = " + exerr + "\r\n";
}

// The POSDATA dump showing these texts; other fields show nothing, as if never written.
std::string posDataDump(const std::map<std::string, std::string>& shown = {}) {
    std::string dump = Separator;
    for (const std::string name :
         {"TerminalId", "AcquirerId", "TransactionType", "TransactionResult", "KODescription",
          "CardType", "STAN", "POSBalance", "BankBalance", "PAN", "AuthorizationCode",
          "OperationNumber", "AmountAuth", "PreauthorizationCode", "ActionCode", "DataTrs",
          "AmountEcho", "Ticket"})
        dump += "POSDATA." + name + " = " + (shown.count(name) ? shown.at(name) : "") + "\r\n";
    return dump + Separator + Separator;
}

using ResultWriterTest = CommandsFixture;

// Line 5 is also left in the description field.
TEST_F(ResultWriterTest, OutcomeLinesReadTheOutcomeFields) {
    const std::array<const char*, 6> cases[] = {
        {"OK", "", "", "OK", "00", ""},
        {"OK", "00 ", "  ", "OK", "00 ", "  "},
        {"TIMEOUT ERROR", "", "", "TIMEOUT ERROR", "01", Generic.c_str()},
        {"", "", "", "KO", "01", Generic.c_str()},
        {"OK ", "", "", "OK ", "01", Generic.c_str()},
        {"OK", "", "RIFIUTATA", "OK", "01", "RIFIUTATA"}};
    for (const auto& [esito, esitoTrans, descrKO, line2, line3, line5] : cases) {
        SCOPED_TRACE(std::string(esito) + "|" + esitoTrans + "|" + descrKO);
        frmMain.txtEsito.setText(esito);
        frmMain.txtEsitoTrans.setText(esitoTrans);
        frmMain.txtDescrKO.setText(descrKO);
        EXPECT_EQ(composeCommunicationResult(commands, "POS_STATUS", ""),
                  sixLines("POS_STATUS", line2, line3, line5, ""));
        EXPECT_EQ(frmMain.txtDescrKO.text(), line5);
    }
}

// A NUL inside a field is dropped; only the result lines need the command drive.
TEST_F(ResultWriterTest, DumpDropsNulsAndAMissingCommandDriveLeavesOnlyTheDump) {
    POSDATA& answer = records.posData;
    answer.PAN.store("4000********0002");
    std::array<char, POSDATA::size> image = packImage(answer);
    image[96 + 4] = '\0';
    unpackImage(answer, image);
    const std::string dump = posDataDump({{"PAN", "4000*******0002    "}});
    EXPECT_EQ(composePosData(answer), dump);

    params.CommandFilePath = "Z:\\ECR\\SR_DATI.TXT";
    EXPECT_EQ(composeResultBlock(commands, "POS_STATUS", ""), dump);
    EXPECT_EQ(fake.messages.texts(),
              std::vector<std::string>{"Cartella per file di I/O non trovata. Creare cartella 2"});
    fake.files.addDirectory("Z:");
    EXPECT_EQ(composeResultBlock(commands, "POS_STATUS", "").substr(0, 28),
              "TIPO_COMANDO  = POS_STATUS\r\n");
}

using DispatcherTest = CommandsFixture;

// Each command gets its own block, byte for byte, one write each; a refusal
// after a success reports its own outcome.
TEST_F(DispatcherTest, EachCommandGetsItsOwnBlockByteForByte) {
    const std::array<std::string, 3> fields[] = {
        {"TerminalId", "12345678", "12345678 "},
        {"TransactionResult", "00", "00 "},
        {"KODescription", "", std::string(25, ' ')},
        {"Ticket", "SCONTRINO\r\nTOTALE 12,50",
         "SCONTRINO\r\nTOTALE 12,50" + std::string(4097 - 23, ' ')}};
    LibraryReply reply;
    std::map<std::string, std::string> dumped;
    for (const auto& [name, answered, shown] : fields) {
        reply.answerFields.emplace_back(name, answered);
        dumped[name] = shown;
    }
    library.queueReply("IAE17AX_Payment", reply);

    EXPECT_EQ(run("POS_PAGAME,T00000001,E00000001,A000001250,P00\r\nPOS_CHPREA\r\n"),
              "Funzione non disponibile");

    const std::string dump = posDataDump(dumped);
    EXPECT_EQ(fake.files.content(ResultFile),
              sixLines("POS_PAGAME,T00000001,E00000001,A000001250,P00", "OK", "00 ",
                       std::string(25, ' '), "") +
                  dump + sixLines("POS_CHPREA", "KO", "01", Generic, "Funzione non disponibile") +
                  dump);
    EXPECT_EQ(fake.files.appends.size(), 2u);
}

// Lines lose one trailing ';'. A line without a known code (a blank before one
// is enough) keeps the previous handler's text. A read failing ends the file.
TEST_F(DispatcherTest, LinesAreUpperCasedAndUnknownCodesKeepThePreviousText) {
    EXPECT_EQ(run("HELLO\r\npos_pagame,a1234567890;\r\n pos_status\r\nPOS_CHPREA;;"),
              "Funzione non disponibile");
    std::string blocks;
    for (const auto& [line, exerr] : {std::pair{"HELLO", ""},
                                      {"POS_PAGAME,A1234567890", "Valore importo non valido"},
                                      {" POS_STATUS", "Valore importo non valido"},
                                      {"POS_CHPREA;", "Funzione non disponibile"}})
        blocks += sixLines(line, "KO", "01", Generic, exerr) + posDataDump();
    EXPECT_EQ(fake.files.content(ResultFile), blocks);

    fake.files.failReadingAfter(params.CommandFilePath, 1, ErrorNumber::PathFileAccess);
    fake.files.appends.clear();
    EXPECT_EQ(run("POS_PAGAME,A100\r\nPOS_STATUS\r\n", true), "Parametri mancanti");
    EXPECT_EQ(fake.files.appends.size(), 1u);
    EXPECT_TRUE(library.calls().empty());
}

// Whatever the file holds, each command line (not empty, not a ';' or ':'
// comment; lines end at CR LF, a lone CR or a lone LF) gets one whole block.
TEST_F(DispatcherTest, AnyBytesGiveOneWholeBlockPerCommandLine) {
    const auto oneWholeBlockPerLine = [&](const std::string& bytes) {
        std::size_t commandLines = 0;
        for (std::size_t start = 0; start < bytes.size();) {
            const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
            commandLines += end > start && bytes[start] != ';' && bytes[start] != ':';
            start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        fake.files.appends.clear();
        run(bytes);
        EXPECT_EQ(fake.files.appends.size(), commandLines);
        for (const auto& append : fake.files.appends) {
            EXPECT_EQ(append.bytes.compare(0, 16, "TIPO_COMANDO  = "), 0);
            EXPECT_EQ(append.bytes.substr(append.bytes.size() - 2 * Separator.size()),
                      Separator + Separator);
        }
    };
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    oneWholeBlockPerLine(everyByte);
    EXPECT_EQ(fake.files.appends.size(), 3u);
    // Ten million empty fields: a field count must not wrap in 16 bits.
    oneWholeBlockPerLine("POS_PAGAME" + std::string(10'000'000, ','));
    EXPECT_NE(fake.files.appends.at(0).bytes.find("EXERR_DESCRIZ = Parametri mancanti\r\n"),
              std::string::npos);

    using namespace std::string_literals;
    const std::string pieces[] = {
        "POS_PAGAME", "POS_STORNO", "POS_ACCRED", "POS_STATUS", "POS_TOTTER", ",A",      ",S",
        ",E",         ",P",         ",T",         ";",          ":",          "\r\n",    "\n",
        "\r",         "0000000000", "123",        " ",          "\0"s,        "\xff\xe0"};
    std::mt19937 random(20250314);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 60);
    for (int file = 0; file < 150; ++file) {
        std::string bytes;
        for (int n = length(random); n > 0; --n)
            bytes += pieces[piece(random)];
        SCOPED_TRACE(bytes);
        oneWholeBlockPerLine(bytes);
    }
}

const char* const Payment = "IAE17AX_Payment";
const char* const Status = "IAE17AX_Status";

using Handler = std::string (*)(CommandContext&, const std::string&);

using CommandHandlersTest = CommandsFixture;

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
