#include "commands/Dispatcher.h"

#include "CommandsFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kvl::test {
namespace {

class DispatcherTest : public CommandsFixture {
protected:
    std::string run(const std::string& commandFile, bool ecrIdRequired = false) {
        files.addFile(program.params.CommandFilePath, commandFile);
        return ElaboraFileComandi(program, program.params.CommandFilePath, ecrIdRequired);
    }
    void enableLog(const std::string& name) {
        program.frmWpos1Type.chkEnableLog.setValue(1);
        program.frmWpos1Type.txtLogFileName.setText(name);
    }

    FakeFileSystem& files = fake.files;
};

TEST_F(DispatcherTest, SuccessfulPaymentIsAnsweredByteForByte) {
    // Each field as the terminal answers it and as the dump shows it.
    const std::array<std::string, 3> fields[] = {
        {"TerminalId", "12345678", "12345678 "},
        {"TransactionResult", "00", "00 "},
        {"KODescription", "", std::string(25, ' ')},
        {"PAN", "************0002", "************0002    "},
        {"AmountEcho", "000001250", "000001250"},
        {"Ticket", "SCONTRINO\r\nTOTALE 12,50",
         "SCONTRINO\r\nTOTALE 12,50" + std::string(4097 - 23, ' ')}};
    LibraryReply reply;
    std::map<std::string, std::string> dumped;
    for (const auto& [name, answered, shown] : fields) {
        reply.answerFields.emplace_back(name, answered);
        dumped[name] = shown;
    }
    library.queueReply("IAE17AX_Payment", reply);

    EXPECT_EQ(run("POS_PAGAME,T00000001,E00000001,A000001250,P00\r\n"), "");

    EXPECT_EQ(files.content(ResultFile), sixLines("POS_PAGAME,T00000001,E00000001,A000001250,P00",
                                                  "OK", "00 ", std::string(25, ' '), "") +
                                             posDataDump(dumped));
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
        files.content(ResultFile),
        sixLines("HELLO", "KO", "01", Generic, "") + posDataDump() +
            sixLines("POS_PAGAME,A1234567890", "KO", "01", Generic, "Valore importo non valido") +
            posDataDump() +
            sixLines("POS_NOPE,A1", "KO", "01", Generic, "Valore importo non valido") +
            posDataDump());
    EXPECT_TRUE(library.calls().empty());
}

TEST_F(DispatcherTest, TwoCommandsGiveTwoBlocksInOrderAndTheSameInTheLog) {
    const std::string log = "/ecr/LogTlvPos.txt";
    enableLog(log);
    answer("IAE17AX_Status", ResultCode::Ok, {{"TerminalId", "TERM1"}});

    EXPECT_EQ(run("POS_STATUS\r\nPOS_CHPREA\r\n"), "Funzione non disponibile");

    const std::string dump = posDataDump({{"TerminalId", "TERM1    "}});
    const std::string expected =
        sixLines("POS_STATUS", "OK", "00", "", "") + dump +
        sixLines("POS_CHPREA", "KO", "01", Generic, "Funzione non disponibile") + dump;
    EXPECT_EQ(files.content(ResultFile), expected);
    EXPECT_EQ(files.content(log), expected);
    // Result file first, then the log, one write each per command.
    EXPECT_EQ(files.changes(), (std::vector<std::string>{"append " + ResultFile, "append " + log,
                                                         "append " + ResultFile, "append " + log}));
}

TEST_F(DispatcherTest, LogNeedsBothTheSwitchAndAName) {
    enableLog("");
    ::testing::internal::CaptureStderr();
    run("POS_STATUS\r\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "no attempt at a nameless log";
    enableLog("/ecr/LOG.TXT");
    program.frmWpos1Type.chkEnableLog.setValue(0);
    run("POS_STATUS\r\n");

    EXPECT_EQ(files.changes(), std::vector<std::string>(2, "append " + ResultFile));
}

TEST_F(DispatcherTest, FailedLogWriteDoesNotStopTheNextCommand) {
    enableLog("/ecr/MISSING/LOG.TXT");

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run("POS_PREAUT\r\nPOS_PREINT\r\n"), "Funzione non disponibile");
    const std::string errors = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(files.changes(), std::vector<std::string>(2, "append " + ResultFile));
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

TEST_F(DispatcherTest, PassesTheEcrRequirementOn) {
    EXPECT_EQ(run("POS_PAGAME,A100\r\n", true), "Parametri mancanti");
    EXPECT_EQ(run("POS_PAGAME,A100\r\n", false), "");
}

TEST_F(DispatcherTest, ReadFailurePartWayWritesBlocksOnlyForWhatWasRead) {
    files.failReadingAfter(program.params.CommandFilePath, 1, ErrorNumber::PathFileAccess);

    EXPECT_EQ(run("POS_PREAUT\r\nPOS_STATUS\r\nPOS_STATUS\r\n"), "Funzione non disponibile");

    EXPECT_EQ(files.changes(), std::vector<std::string>{"append " + ResultFile});
    EXPECT_TRUE(library.calls().empty());
}

// Whatever the file holds, each command line (not empty, not a ';' or ':'
// comment once a CR before its LF is gone) gets one whole block.
class BadInputTest : public DispatcherTest {
protected:
    void expectOneWholeBlockPerLine(const std::string& bytes) {
        std::size_t commandLines = 0;
        std::istringstream in(bytes);
        for (std::string line; std::getline(in, line);) {
            if (!in.eof() && !line.empty() && line.back() == '\r')
                line.pop_back();
            commandLines += !line.empty() && line[0] != ';' && line[0] != ':';
        }
        files.appends.clear();
        run(bytes);
        EXPECT_EQ(files.appends.size(), commandLines);
        const std::string blockEnd = Separator + Separator;
        for (const auto& append : files.appends) {
            EXPECT_EQ(append.bytes.compare(0, 16, "TIPO_COMANDO  = "), 0);
            ASSERT_GE(append.bytes.size(), blockEnd.size());
            EXPECT_EQ(append.bytes.substr(append.bytes.size() - blockEnd.size()), blockEnd);
        }
    }
};

TEST_F(BadInputTest, TenMegabyteLines) {
    // An amount of ten million digits, a line of commas, a line of letters.
    expectOneWholeBlockPerLine("POS_PAGAME,A" + std::string(10'000'000, '9') + "\r\nPOS_PAGAME" +
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
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    expectOneWholeBlockPerLine(everyByte);
    EXPECT_EQ(files.appends.size(), 2u);
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
