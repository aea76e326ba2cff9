#include "commands/Dispatcher.h"

#include "CommandsFixture.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kvl::test {
namespace {

const std::string Generic = "ERRORE GENERICO, PROBABILI PARAMETRI NON CORRETTI";
const std::string Separator(52, '-');
const std::string ResultFile = "/ecr/SR_OUT.TXT";
const std::string BlockEnd = Separator + "\r\n" + Separator + "\r\n";

class DispatcherTest : public CommandsFixture {
protected:
    DispatcherTest() { fake.clock.setLocalTime({2025, 3, 14, 9, 30, 5}); }

    std::string run(const std::string& commandFile, bool ecrIdRequired = false) {
        fake.files.addFile(program.params.CommandFilePath, commandFile);
        return ElaboraFileComandi(program, program.params.CommandFilePath, ecrIdRequired);
    }
    std::string results() const {
        return fake.files.hasFile(ResultFile) ? fake.files.content(ResultFile) : std::string();
    }
    std::size_t blocksTo(const std::string& path) const {
        std::size_t count = 0;
        for (const auto& append : files.appends)
            if (append.path == path)
                ++count;
        return count;
    }
    void enableLog(const std::string& name) {
        program.frmWpos1Type.chkEnableLog.setValue(1);
        program.frmWpos1Type.txtLogFileName.setText(name);
    }

    FakeFileSystem& files = fake.files;
};

std::string sixLines(const std::string& command, const std::string& esito,
                     const std::string& esitoTrans, const std::string& descrizione,
                     const std::string& exerr) {
    return "TIPO_COMANDO  = " + command + "\r\nESITO_COMANDO = " + esito +
           "\r\nESITO_TRANSAZ = " + esitoTrans + "\r\nDATAORA_TRANS = 20250314_093005\r\n" +
           "ERROR_DESCRIZ = " + descrizione + "\r\nEXERR_DESCRIZ = " + exerr + "\r\n";
}

TEST_F(DispatcherTest, MissingCommandFileChangesNothing) {
    EXPECT_EQ(ElaboraFileComandi(program, "/ecr/NONE.TXT", true), "File comandi non trovato");
    EXPECT_TRUE(files.appends.empty());
    EXPECT_TRUE(library.calls().empty());
    EXPECT_FALSE(program.handlersEcrIdRequired);
}

TEST_F(DispatcherTest, SuccessfulPaymentIsAnsweredByteForByte) {
    answer("IAE17AX_Payment", ResultCode::Ok,
           {{"TerminalId", "12345678"},
            {"AcquirerId", "ACQ001"},
            {"TransactionType", "PAY"},
            {"TransactionResult", "00"},
            {"KODescription", ""},
            {"CardType", "01"},
            {"STAN", "000123"},
            {"PAN", "************0002"},
            {"AuthorizationCode", "A1B2C3"},
            {"OperationNumber", "000045"},
            {"DataTrs", "14032025"},
            {"AmountEcho", "000001250"},
            {"Ticket", "SCONTRINO\r\nTOTALE 12,50"}});

    EXPECT_EQ(run("POS_PAGAME,T00000001,E00000001,A000001250,P00\r\n"), "");

    EXPECT_EQ(results(), sixLines("POS_PAGAME,T00000001,E00000001,A000001250,P00", "OK", "00 ",
                                  std::string(25, ' '), "") +
                             Separator + "\r\n" +
                             "POSDATA.TerminalId = 12345678 \r\n"
                             "POSDATA.AcquirerId = ACQ001      \r\n"
                             "POSDATA.TransactionType = PAY \r\n"
                             "POSDATA.TransactionResult = 00 \r\n"
                             "POSDATA.KODescription =                          \r\n"
                             "POSDATA.CardType = 01\r\n"
                             "POSDATA.STAN = 000123 \r\n"
                             "POSDATA.POSBalance = \r\n"
                             "POSDATA.BankBalance = \r\n"
                             "POSDATA.PAN = ************0002    \r\n"
                             "POSDATA.AuthorizationCode = A1B2C3 \r\n"
                             "POSDATA.OperationNumber = 000045 \r\n"
                             "POSDATA.AmountAuth = \r\n"
                             "POSDATA.PreauthorizationCode = \r\n"
                             "POSDATA.ActionCode = \r\n"
                             "POSDATA.DataTrs = 14032025\r\n"
                             "POSDATA.AmountEcho = 000001250\r\n"
                             "POSDATA.Ticket = SCONTRINO\r\nTOTALE 12,50" +
                             std::string(4097 - 23, ' ') + "\r\n" + BlockEnd);
    EXPECT_EQ(program.frmMain.cmbPagamento.listIndex(), 0);
}

TEST_F(DispatcherTest, RefusalAfterASuccessReportsItsOwnOutcome) {
    answer("IAE17AX_Payment", ResultCode::Ok,
           {{"TransactionResult", "00"}, {"KODescription", "APPROVATA"}});

    EXPECT_EQ(run("POS_PAGAME,A1250\r\nPOS_PREAUT,T1,E1,A100\r\n"), "Funzione non disponibile");

    ASSERT_EQ(files.appends.size(), 2u);
    const std::string& second = files.appends[1].bytes;
    EXPECT_EQ(second.substr(0, second.find(Separator)),
              sixLines("POS_PREAUT,T1,E1,A100", "KO", "01", Generic, "Funzione non disponibile"));
}

TEST_F(DispatcherTest, UnknownCodeKeepsThePreviousHandlersText) {
    EXPECT_EQ(run("HELLO\r\nPOS_PAGAME,A1234567890\r\nPOS_NOPE,A1\r\n"),
              "Valore importo non valido");

    EXPECT_EQ(
        results(),
        sixLines("HELLO", "KO", "01", Generic, "") + EmptyPosDataDump +
            sixLines("POS_PAGAME,A1234567890", "KO", "01", Generic, "Valore importo non valido") +
            EmptyPosDataDump +
            sixLines("POS_NOPE,A1", "KO", "01", Generic, "Valore importo non valido") +
            EmptyPosDataDump);
    EXPECT_TRUE(library.calls().empty());
}

TEST_F(DispatcherTest, TwoCommandsGiveTwoBlocksInOrderAndTheSameInTheLog) {
    const std::string log = "/ecr/LogTlvPos.txt";
    enableLog(log);
    answer("IAE17AX_Status", ResultCode::Ok, {{"TerminalId", "TERM1"}});

    EXPECT_EQ(run("POS_STATUS\r\nPOS_CHPREA\r\n"), "Funzione non disponibile");

    const std::string expected =
        sixLines("POS_STATUS", "OK", "00", "", "") + Separator +
        "\r\nPOSDATA.TerminalId = TERM1    \r\n" +
        EmptyPosDataDump.substr(EmptyPosDataDump.find("POSDATA.AcquirerId")) +
        sixLines("POS_CHPREA", "KO", "01", Generic, "Funzione non disponibile") + Separator +
        "\r\nPOSDATA.TerminalId = TERM1    \r\n" +
        EmptyPosDataDump.substr(EmptyPosDataDump.find("POSDATA.AcquirerId"));
    EXPECT_EQ(results(), expected);
    EXPECT_EQ(files.content(log), expected);
    // Result file first, then the log, one write each per command.
    ASSERT_EQ(files.appends.size(), 4u);
    EXPECT_EQ(files.appends[0].path, ResultFile);
    EXPECT_EQ(files.appends[1].path, log);
    EXPECT_EQ(files.appends[2].path, ResultFile);
}

TEST_F(DispatcherTest, LogNeedsBothTheSwitchAndAName) {
    program.frmWpos1Type.chkEnableLog.setValue(1);
    program.frmWpos1Type.txtLogFileName.setText("");
    run("POS_STATUS\r\n");

    enableLog("/ecr/LOG.TXT");
    program.frmWpos1Type.chkEnableLog.setValue(0);
    run("POS_STATUS\r\n");

    EXPECT_EQ(files.appends.size(), 2u);
    EXPECT_EQ(blocksTo(ResultFile), 2u);
}

TEST_F(DispatcherTest, FailedLogWriteDoesNotStopTheNextCommand) {
    enableLog("/ecr/MISSING/LOG.TXT");

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run("POS_PREAUT\r\nPOS_PREINT\r\n"), "Funzione non disponibile");
    const std::string errors = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(blocksTo(ResultFile), 2u);
    EXPECT_NE(errors.find("KvlTalvioPos: cannot write /ecr/MISSING/LOG.TXT: "), std::string::npos);
}

TEST_F(DispatcherTest, LinesAreUpperCasedAndLoseOneTrailingSemicolon) {
    EXPECT_EQ(run("pos_pagame,a100,p1;\r\n pos_status\r\nPOS_CHPREA;;"),
              "Funzione non disponibile");

    ASSERT_EQ(files.appends.size(), 3u);
    EXPECT_EQ(files.appends[0].bytes.substr(0, 36), "TIPO_COMANDO  = POS_PAGAME,A100,P1\r\n");
    EXPECT_EQ(library.last("IAE17AX_Payment").request.Amount.text(), "100      ");
    // Not a known code once a blank is in front of it.
    EXPECT_EQ(files.appends[1].bytes.substr(0, 29), "TIPO_COMANDO  =  POS_STATUS\r\n");
    EXPECT_EQ(files.appends[2].bytes.substr(0, 29), "TIPO_COMANDO  = POS_CHPREA;\r\n");
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
}

TEST_F(DispatcherTest, StoresTheEcrRequirementAndShowsTheTerminalId) {
    program.records.posData.TerminalId.store("T0000042");

    EXPECT_EQ(run("POS_PAGAME,A100\r\n", true), "Parametri mancanti");

    EXPECT_TRUE(program.handlersEcrIdRequired);
    EXPECT_EQ(program.frmWpos1Type.lblValTerminalId.caption(), "T0000042 ");
    run("POS_PAGAME,A100\r\n", false);
    EXPECT_FALSE(program.handlersEcrIdRequired);
}

TEST_F(DispatcherTest, ReadFailurePartWayWritesBlocksOnlyForWhatWasRead) {
    files.addFile("/ecr/SR_DATI.TXT", "POS_PREAUT\r\nPOS_STATUS\r\nPOS_STATUS\r\n");
    files.failReadingAfter("/ecr/SR_DATI.TXT", 1, ErrorNumber::PathFileAccess);

    EXPECT_EQ(ElaboraFileComandi(program, "/ecr/SR_DATI.TXT", false), "Funzione non disponibile");

    EXPECT_EQ(files.changes(), std::vector<std::string>{"append /ecr/SR_OUT.TXT"});
    EXPECT_TRUE(library.calls().empty());
}

// How many command lines a file holds, worked out from its bytes alone.
std::size_t commandLines(const std::string& bytes) {
    std::size_t count = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (end < bytes.size() && !line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != ';' && line[0] != ':')
            ++count;
        start = end + 1;
    }
    return count;
}

class BadInputTest : public DispatcherTest {
protected:
    void expectOneWholeBlockPerLine(const std::string& bytes) {
        files.appends.clear();
        run(bytes);
        EXPECT_EQ(files.appends.size(), commandLines(bytes));
        for (const auto& append : files.appends) {
            EXPECT_EQ(append.bytes.compare(0, 16, "TIPO_COMANDO  = "), 0);
            ASSERT_GE(append.bytes.size(), BlockEnd.size());
            EXPECT_EQ(append.bytes.compare(append.bytes.size() - BlockEnd.size(), BlockEnd.size(),
                                           BlockEnd),
                      0);
        }
    }
};

TEST_F(BadInputTest, EveryByteValue) {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    expectOneWholeBlockPerLine(bytes);
    EXPECT_EQ(files.appends.size(), 2u);
}

TEST_F(BadInputTest, TenMegabyteLines) {
    // An amount of ten million digits, a line of commas, a line of letters.
    const std::string huge(10'000'000, '9');
    expectOneWholeBlockPerLine("POS_PAGAME,A" + huge + "\r\nPOS_PAGAME" +
                               std::string(10'000'000, ',') + "\r\n" +
                               std::string(10'000'000, 'x'));
    EXPECT_TRUE(library.calls().empty());
    EXPECT_NE(files.appends[0].bytes.find("EXERR_DESCRIZ = Valore importo non valido\r\n"),
              std::string::npos);
    EXPECT_NE(files.appends[1].bytes.find("EXERR_DESCRIZ = Parametri mancanti\r\n"),
              std::string::npos);
}

TEST_F(BadInputTest, RandomFiles) {
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
        expectOneWholeBlockPerLine(bytes);
    }
}

} // namespace
} // namespace kvl::test
