// The ECR's round trip through the real program's one-shot mode ("-E",
// headless) against terminal-sim on 127.0.0.1: a command file in, one run,
// the result file out and the command file gone.

#include "support/Installation.h"

#include <gtest/gtest.h>

namespace kvl::test {
namespace {

const std::string Paid = "POS_PAGAME,T1,E1,A000000700,P00";

// Every operation in turn, a decline, refused lines and lone CRs, then no
// library. The first payment's ACK is lost and the request sent again: one
// sale; the same line in the next run is another sale.
TEST(OneShot, EachRunAnswersEveryLineOfItsCommandFile) {
    Simulator simulator("payment#1 garbage=ack\n");
    Installation installation(simulator.port());
    const std::string paid = installation.runOnce({Paid});
    ASSERT_EQ(valueAfter(paid, "ESITO_COMANDO = "), "OK");
    const std::string stan = valueAfter(paid, "POSDATA.STAN = ");

    // Line, ESITO_COMANDO, ESITO_TRANSAZ, EXERR_DESCRIZ.
    const std::vector<std::vector<std::string>> blocks = {
        {Paid, "OK", "00 ", ""},
        {"POS_ACCRED,T1,E1,A000000300", "OK", "00 ", ""},
        {"POS_STORNO,T1,E1,S" + stan, "OK", "00 ", ""},
        {"POS_STORNO,T1,E1,S" + stan, "OK", "94 ", ""},
        {"POS_TOTTER", "OK", "00 ", ""},
        {"POS_CHCASS", "OK", "00 ", ""},
        {"POS_PAGAME,T1,E1,A000001299,P00", "OK", "51 ", ""},
        {"POS_PAGAME,T1,E1,A1234567890,P00", "KO", "01", "Valore importo non valido"},
        {"POS_PREAUT", "KO", "01", "Funzione non disponibile"}};
    std::vector<std::string> commands;
    for (const auto& block : blocks)
        commands.push_back(block[0]);
    const std::string result = installation.runOnce(commands);
    ASSERT_EQ(blockCount(result), static_cast<int>(blocks.size()));
    const char* const labels[] = {
        "TIPO_COMANDO  = ", "ESITO_COMANDO = ", "ESITO_TRANSAZ = ", "EXERR_DESCRIZ = "};
    for (std::size_t block = 0; block < blocks.size(); ++block)
        for (std::size_t label = 0; label < 4; ++label)
            EXPECT_EQ(valueAfter(result, labels[label], static_cast<int>(block)),
                      blocks[block][label])
                << blocks[block][0];
    for (const char* operation : {"Refund", "TerminalBalance", "Closure"})
        EXPECT_EQ(simulator.exchanges(operation), 1) << operation;
    EXPECT_EQ(simulator.exchanges("Void"), 2);

    writeFile(installation.commandFile(), "pos_status\rPOS_PAGAME,T1,E1,A000000100,P00\r");
    const std::string loneCr = installation.runOnce({});
    ASSERT_EQ(blockCount(loneCr), 2);
    EXPECT_EQ(valueAfter(loneCr, "TIPO_COMANDO  = "), "POS_STATUS");
    EXPECT_EQ(valueAfter(loneCr, "ESITO_COMANDO = ", 1), "OK");

    // Without its library every line is answered with the reason.
    installation.environment["IAE17_LIBRARY"] = installation.file("none.so");
    const std::string unloaded = installation.runOnce({Paid, "POS_STATUS"});
    ASSERT_EQ(blockCount(unloaded), 2);
    for (int block = 0; block < 2; ++block) {
        EXPECT_EQ(valueAfter(unloaded, "ESITO_COMANDO = ", block), "KO");
        EXPECT_EQ(valueAfter(unloaded, "EXERR_DESCRIZ = ", block)
                      .rfind("Libreria del terminale non caricata (" +
                                 installation.file("none.so") + "): ",
                             0),
                  0u);
    }
    simulator.stop();
    EXPECT_EQ(simulator.amounts("Payment"),
              (std::vector<std::string>{"000000700", "000000700", "000001299", "000000100"}));
    EXPECT_EQ(simulator.logged({" Payment ", " result=00 "}), 3) << simulator.log();
}

} // namespace
} // namespace kvl::test
