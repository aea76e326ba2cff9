// The ECR's round trip through the real program, headless, in a temporary
// program folder, against terminal-sim on 127.0.0.1: a command file in, one
// "-E" run, the result file out and the command file gone.

#include "support/Installation.h"

#include <gtest/gtest.h>

namespace kvl::test {
namespace {

class OneShotRoundTrip : public ::testing::Test {
protected:
    Simulator simulator;
    Installation installation{simulator.port()};
};

TEST_F(OneShotRoundTrip, AnApprovedPaymentGivesTheTerminalsAnswer) {
    const std::string result =
        installation.runOnce({"pos_pagame,T00000001,E00000001,A000001250,P01"});
    const auto lines = crlfLines(result);
    // Six result lines, then the dump: a separator, eighteen fields (the
    // receipt's own CR LF lines among them) and two separators.
    ASSERT_GT(lines.size(), 6u + 21u);
    EXPECT_EQ(lines[0], "TIPO_COMANDO  = POS_PAGAME,T00000001,E00000001,A000001250,P01");
    EXPECT_EQ(lines[1], "ESITO_COMANDO = OK");
    EXPECT_EQ(lines[2], "ESITO_TRANSAZ = 00 ") << "the field keeps its padding blank";
    EXPECT_EQ(lines[3].size(), 16u + 15u);
    EXPECT_EQ(lines[4], "ERROR_DESCRIZ = " + std::string(25, ' '));
    EXPECT_EQ(lines[5], "EXERR_DESCRIZ = ");
    EXPECT_EQ(lines[6], std::string(52, '-'));
    EXPECT_EQ(lines[7], "POSDATA.TerminalId = 12345678 ");
    EXPECT_EQ(valueAfter(result, "POSDATA.AmountEcho = "), "000001250");
    EXPECT_EQ(lines[lines.size() - 2], std::string(52, '-'));
    EXPECT_EQ(lines[lines.size() - 1], std::string(52, '-'));
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
}

TEST_F(OneShotRoundTrip, PaymentRefundVoidTotalsClosureAndStatusInTurn) {
    const std::string paid = installation.runOnce({"POS_PAGAME,T1,E1,A000000700,P00"});
    ASSERT_EQ(valueAfter(paid, "ESITO_COMANDO = "), "OK");
    const std::string stan = valueAfter(paid, "POSDATA.STAN = ");
    ASSERT_EQ(stan.size(), 7u);

    const std::string rest = installation.runOnce({
        "POS_ACCRED,T1,E1,A000000300",
        "POS_STORNO,T1,E1,S" + stan,
        "POS_TOTTER",
        "POS_CHCASS",
        "POS_STATUS",
    });
    ASSERT_EQ(blockCount(rest), 5);
    for (int block = 0; block < 5; ++block) {
        EXPECT_EQ(valueAfter(rest, "ESITO_COMANDO = ", block), "OK") << "block " << block;
        EXPECT_EQ(valueAfter(rest, "EXERR_DESCRIZ = ", block), "") << "block " << block;
    }
    EXPECT_EQ(valueAfter(rest, "ESITO_TRANSAZ = ", 1), "00 ") << "the void is approved";
    for (const char* operation : {"Refund", "Void", "TerminalBalance", "Closure"})
        EXPECT_EQ(simulator.exchanges(operation), 1) << operation;

    // The same transaction cannot be voided twice: the terminal declines.
    const std::string again = installation.runOnce({"POS_STORNO,T1,E1,S" + stan});
    EXPECT_EQ(valueAfter(again, "ESITO_COMANDO = "), "OK");
    EXPECT_NE(valueAfter(again, "ESITO_TRANSAZ = "), "00 ");
}

TEST_F(OneShotRoundTrip, NoCommandFileThenDeclinedAndRefusedLines) {
    installation.runOnce({});
    EXPECT_FALSE(fileExists(installation.resultFile())) << "no command file, no result";

    // A decline carries the terminal's reason; refused lines never reach the terminal.
    const std::string result = installation.runOnce(
        {"POS_PAGAME,T1,E1,A000001299,P00", "POS_PAGAME,T1,E1,A1234567890,P00", "POS_PREAUT"});
    ASSERT_EQ(blockCount(result), 3);
    EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = "), "OK");
    EXPECT_EQ(valueAfter(result, "ESITO_TRANSAZ = "), "51 ");
    EXPECT_EQ(valueAfter(result, "ERROR_DESCRIZ = "), "FONDI INSUFFICIENTI      ");
    EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = ", 1), "KO");
    EXPECT_EQ(valueAfter(result, "ESITO_TRANSAZ = ", 1), "01");
    EXPECT_EQ(valueAfter(result, "EXERR_DESCRIZ = ", 1), "Valore importo non valido");
    EXPECT_EQ(valueAfter(result, "EXERR_DESCRIZ = ", 2), "Funzione non disponibile");
    EXPECT_EQ(simulator.exchanges("Payment"), 1);
}

TEST(OneShotWithoutTerminal, ATerminalThatDoesNotAnswerTimesOut) {
    // It takes the payment, then says nothing about it, not even when asked.
    Simulator simulator("payment#1 mute\n");
    Installation installation(simulator.port());
    installation.environment["IAE17_ANSWER_TIMEOUT_MS"] = "500";
    const std::string result = installation.runOnce({"POS_PAGAME,T1,E1,A000000100,P00"});
    EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = "), "TIMEOUT ERROR");
    EXPECT_EQ(valueAfter(result, "ESITO_TRANSAZ = "), "01");
    EXPECT_EQ(valueAfter(result, "ERROR_DESCRIZ = "),
              "ERRORE GENERICO, PROBABILI PARAMETRI NON CORRETTI");
    EXPECT_EQ(simulator.exchanges("Payment"), 1) << "an acknowledged request is never resent";
}

TEST(OneShotWithoutTerminal, ATerminalThatIsNotRunningGivesConnessioneAssente) {
    Installation installation(Simulator().port()); // a port nobody listens on any more
    const std::string result = installation.runOnce({"POS_PAGAME,T1,E1,A000000100,P00"});
    EXPECT_EQ(valueAfter(result, "ESITO_COMANDO = "), "COM ERROR");
    EXPECT_EQ(valueAfter(result, "EXERR_DESCRIZ = "), "Connessione assente");
}

} // namespace
} // namespace kvl::test
