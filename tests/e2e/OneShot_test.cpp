// The ECR's round trip through the real program's one-shot mode ("-E",
// headless) in a temporary program folder, against terminal-sim on
// 127.0.0.1: a command file in, one run, the result file out and the command
// file gone.

#include "support/Installation.h"

#include <gtest/gtest.h>

namespace kvl::test {
namespace {

// Every operation in turn, a decline, refused lines, lone CRs, a line of
// 16 MB, no command file, and at last a terminal that is not running.
TEST(OneShot, EachRunAnswersEveryLineOfItsCommandFile) {
    Simulator simulator;
    Installation installation(simulator.port());
    const std::string paid = installation.runOnce({"POS_PAGAME,T1,E1,A000000700,P00"});
    ASSERT_EQ(valueAfter(paid, "ESITO_COMANDO = "), "OK");
    const std::string stan = valueAfter(paid, "POSDATA.STAN = ");
    ASSERT_EQ(stan.size(), 7u);

    // Line, ESITO_COMANDO, ESITO_TRANSAZ, ERROR_DESCRIZ, EXERR_DESCRIZ.
    const std::string approved = std::string(25, ' ');
    const std::vector<std::vector<std::string>> blocks = {
        {"POS_ACCRED,T1,E1,A000000300", "OK", "00 ", approved, ""},
        {"POS_STORNO,T1,E1,S" + stan, "OK", "00 ", approved, ""},
        {"POS_STORNO,T1,E1,S" + stan, "OK", "94 ", "OPERAZIONE GIA' STORNATA ", ""},
        {"POS_TOTTER", "OK", "00 ", approved, ""},
        {"POS_CHCASS", "OK", "00 ", approved, ""},
        {"POS_STATUS", "OK", "00 ", approved, ""},
        {"POS_PAGAME,T1,E1,A000001299,P00", "OK", "51 ", "FONDI INSUFFICIENTI      ", ""},
        {"POS_PAGAME,T1,E1,A1234567890,P00", "KO", "01",
         "ERRORE GENERICO, PROBABILI PARAMETRI NON CORRETTI", "Valore importo non valido"},
        {"POS_PREAUT", "KO", "01", "ERRORE GENERICO, PROBABILI PARAMETRI NON CORRETTI",
         "Funzione non disponibile"}};
    std::vector<std::string> commands;
    for (const auto& block : blocks)
        commands.push_back(block[0]);
    const std::string result = installation.runOnce(commands);
    ASSERT_EQ(blockCount(result), static_cast<int>(blocks.size()));
    const char* const labels[] = {"TIPO_COMANDO  = ", "ESITO_COMANDO = ", "ESITO_TRANSAZ = ",
                                  "ERROR_DESCRIZ = ", "EXERR_DESCRIZ = "};
    for (std::size_t block = 0; block < blocks.size(); ++block)
        for (std::size_t label = 0; label < 5; ++label)
            EXPECT_EQ(valueAfter(result, labels[label], static_cast<int>(block)),
                      blocks[block][label])
                << blocks[block][0];
    for (const char* operation : {"Refund", "TerminalBalance", "Closure"})
        EXPECT_EQ(simulator.exchanges(operation), 1) << operation;
    EXPECT_EQ(simulator.exchanges("Void"), 2);
    EXPECT_EQ(simulator.exchanges("Payment"), 2) << "refused lines never reach the terminal";

    // Lines end at a lone CR too, the last one included.
    writeFile(installation.commandFile(), "pos_status\rPOS_PAGAME,T1,E1,A000000100,P00\r");
    const std::string loneCr = installation.runOnce({});
    ASSERT_EQ(blockCount(loneCr), 2);
    EXPECT_EQ(valueAfter(loneCr, "TIPO_COMANDO  = "), "POS_STATUS");
    EXPECT_EQ(valueAfter(loneCr, "TIPO_COMANDO  = ", 1), "POS_PAGAME,T1,E1,A000000100,P00");
    EXPECT_EQ(valueAfter(loneCr, "ESITO_COMANDO = ", 1), "OK");

    // A very long line is answered like any other.
    const std::string longLine = "POS_PAGAME,T1,E1,A" + std::string(16 << 20, '7');
    writeFile(installation.commandFile(), longLine + "\r\n");
    const std::string long16 = installation.runOnce({});
    EXPECT_EQ(valueAfter(long16, "TIPO_COMANDO  = "), longLine);
    EXPECT_EQ(valueAfter(long16, "EXERR_DESCRIZ = "), "Valore importo non valido");
    EXPECT_EQ(simulator.amounts("Payment"),
              (std::vector<std::string>{"000000700", "000001299", "000000100"}));

    std::remove(installation.resultFile().c_str());
    installation.runOnce({});
    EXPECT_FALSE(fileExists(installation.resultFile())) << "no command file, no result";

    simulator.stop();
    const std::string noTerminal = installation.runOnce({"POS_PAGAME,T1,E1,A000000100,P00"});
    EXPECT_EQ(valueAfter(noTerminal, "ESITO_COMANDO = "), "COM ERROR");
    EXPECT_EQ(valueAfter(noTerminal, "EXERR_DESCRIZ = "), "Connessione assente");
}

// Without its library the one-shot run answers every command line with the
// reason and deletes the file.
TEST(OneShot, ALibraryThatCannotBeLoadedIsTheAnswerOfEveryLine) {
    Installation installation(Simulator().port());
    installation.environment["IAE17_LIBRARY"] = installation.file("none.so");
    const std::string result =
        installation.runOnce({"POS_PAGAME,T1,E1,A000000100,P00", "POS_STATUS"});
    ASSERT_EQ(blockCount(result), 2);
    for (int block = 0; block < 2; ++block) {
        EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = ", block), "KO");
        EXPECT_EQ(valueAfter(result, "EXERR_DESCRIZ = ", block)
                      .rfind("Libreria del terminale non caricata (" +
                                 installation.file("none.so") + "): ",
                             0),
                  0u);
    }
}

} // namespace
} // namespace kvl::test
