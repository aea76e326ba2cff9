#include "commands/ResultWriter.h"

#include "CommandsFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace kvl::test {
namespace {

const std::string Generic = "ERRORE GENERICO, PROBABILI PARAMETRI NON CORRETTI";
const std::string ResultFile = "/ecr/SR_OUT.TXT";

class ResultWriterTest : public CommandsFixture {
protected:
    ResultWriterTest() { fake.clock.setLocalTime({2025, 3, 14, 9, 30, 5}); }

    std::string written() const { return fake.files.content(ResultFile); }
};

// Lines 2, 3 and 5 follow from the three outcome fields.
struct OutcomeCase {
    const char* esito;
    const char* esitoTrans;
    const char* descrKO;
    const char* line2;
    const char* line3;
    const char* line5;
};

class OutcomeLinesTest : public ResultWriterTest,
                         public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(OutcomeLinesTest, ReadTheOutcomeFields) {
    const OutcomeCase& c = GetParam();
    program.frmMain.txtEsito.setText(c.esito);
    program.frmMain.txtEsitoTrans.setText(c.esitoTrans);
    program.frmMain.txtDescrKO.setText(c.descrKO);

    const std::string lines = composeCommunicationResult(program, "POS_STATUS", "");

    EXPECT_EQ(lines, std::string("TIPO_COMANDO  = POS_STATUS\r\n") + "ESITO_COMANDO = " + c.line2 +
                         "\r\nESITO_TRANSAZ = " + c.line3 +
                         "\r\nDATAORA_TRANS = 20250314_093005\r\n"
                         "ERROR_DESCRIZ = " +
                         c.line5 + "\r\nEXERR_DESCRIZ = \r\n");
    EXPECT_EQ(program.frmMain.txtDescrKO.text(), c.line5);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, OutcomeLinesTest,
    ::testing::Values(OutcomeCase{"OK", "", "", "OK", "00", ""},
                      OutcomeCase{"OK", "00 ", "  ", "OK", "00 ", "  "},
                      OutcomeCase{"TIMEOUT ERROR", "", "", "TIMEOUT ERROR", "01", Generic.c_str()},
                      OutcomeCase{"", "", "", "KO", "01", Generic.c_str()},
                      OutcomeCase{"OK ", "", "", "OK ", "01", Generic.c_str()},
                      OutcomeCase{"OK", "", "RIFIUTATA", "OK", "01", "RIFIUTATA"}));

TEST_F(ResultWriterTest, WholeBlockGoesOutInOneWrite) {
    WriteResultBlock(program, ResultFile, "POS_STATUS", "Connessione assente");

    ASSERT_EQ(fake.files.changes(), std::vector<std::string>{"append " + ResultFile});
    EXPECT_EQ(written(), "TIPO_COMANDO  = POS_STATUS\r\n"
                         "ESITO_COMANDO = KO\r\n"
                         "ESITO_TRANSAZ = 01\r\n"
                         "DATAORA_TRANS = 20250314_093005\r\n"
                         "ERROR_DESCRIZ = " +
                             Generic +
                             "\r\n"
                             "EXERR_DESCRIZ = Connessione assente\r\n" +
                             EmptyPosDataDump);
}

TEST_F(ResultWriterTest, DumpKeepsBlanksAndReceiptLineBreaksAndDropsNuls) {
    POSDATA answer;
    answer.TerminalId.store("12345678");
    answer.PAN.store("4000********0002");
    std::array<char, POSDATA::size> image = packImage(answer);
    // A receipt of two lines, and NULs inside the card number.
    const std::string ticket = "NEGOZIO\r\nTOTALE 12,50";
    std::copy(ticket.begin(), ticket.end(), image.begin() + 170);
    image[96 + 4] = '\0';
    unpackImage(answer, image);

    const std::string dump = composePosData(answer);

    EXPECT_NE(dump.find("POSDATA.TerminalId = 12345678 \r\n"), std::string::npos);
    EXPECT_NE(dump.find("POSDATA.PAN = 4000*******0002    \r\n"), std::string::npos);
    EXPECT_NE(dump.find("POSDATA.Ticket = NEGOZIO\r\nTOTALE 12,50\r\n---"), std::string::npos);
    EXPECT_NE(dump.find("POSDATA.AcquirerId = \r\n"), std::string::npos);
    // The record itself is left as it was.
    EXPECT_EQ(answer.PAN.text()[4], '\0');
}

TEST_F(ResultWriterTest, MissingCommandDriveShowsTheMessageAndWritesNoResultLines) {
    program.params.CommandFilePath = "Z:\\ECR\\SR_DATI.TXT";

    WriteCommunicationResult(program, ResultFile, "POS_STATUS", "");
    EXPECT_FALSE(fake.files.hasFile(ResultFile));
    WriteResultBlock(program, ResultFile, "POS_STATUS", "");

    EXPECT_EQ(
        fake.messages.texts(),
        (std::vector<std::string>{"Cartella per file di I/O non trovata. Creare cartella 2",
                                  "Cartella per file di I/O non trovata. Creare cartella 2"}));
    EXPECT_EQ(fake.messages.shown().at(0).title, "KvlTalvioPos");
    // The dump makes no folder check.
    EXPECT_EQ(written(), EmptyPosDataDump);

    // A drive that is there lets the lines through.
    program.params.CommandFilePath = "C:\\ECR\\SR_DATI.TXT";
    fake.files.addDirectory("C:");
    WriteCommunicationResult(program, ResultFile, "POS_STATUS", "");
    EXPECT_EQ(fake.messages.shown().size(), 2u);
    EXPECT_EQ(written().substr(EmptyPosDataDump.size(), 28), "TIPO_COMANDO  = POS_STATUS\r\n");
}

TEST_F(ResultWriterTest, FailedWriteIsSkippedAndReportedOnStandardError) {
    fake.files.failOperation(FakeFileSystem::Operation::Append, ResultFile, 75);

    ::testing::internal::CaptureStderr();
    WriteResultBlock(program, ResultFile, "POS_STATUS", "");
    const std::string errors = ::testing::internal::GetCapturedStderr();

    EXPECT_FALSE(fake.files.hasFile(ResultFile));
    EXPECT_EQ(errors, "KvlTalvioPos: cannot write /ecr/SR_OUT.TXT: Simulated failure "
                      "(/ecr/SR_OUT.TXT)\n");
    EXPECT_TRUE(fake.messages.shown().empty());

    // The next block is written whole.
    WriteResultBlock(program, ResultFile, "POS_STATUS", "");
    EXPECT_EQ(written().substr(0, 28), "TIPO_COMANDO  = POS_STATUS\r\n");
}

} // namespace
} // namespace kvl::test
