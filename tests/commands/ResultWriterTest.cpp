#include "commands/ResultWriter.h"

#include "CommandsFixture.h"

#include <array>

namespace kvl::test {
namespace {

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

} // namespace
} // namespace kvl::test
