#include "terminal/ConnectionSetup.h"

#include "terminal/TerminalFixture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace kvl {
namespace {

using test::TerminalFixture;

struct AddressCase {
    std::string text;
    bool valid;
};

class IndirizzoIPValidoTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(IndirizzoIPValidoTest, JudgesTheAddress) {
    EXPECT_EQ(IndirizzoIPValido(GetParam().text), GetParam().valid)
        << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, IndirizzoIPValidoTest,
    ::testing::Values(AddressCase{"192.168.1.113", true}, AddressCase{"192.168.1.255", true},
                      AddressCase{"0.0.0.0", true}, AddressCase{"192.168.1", false},
                      AddressCase{"192.168.1.256", false}, AddressCase{"256.1.1.1", false},
                      AddressCase{"a.b.c.d", false}, AddressCase{"-1.0.0.1", true},
                      AddressCase{"+1.0.0.1", true}, AddressCase{"1.2.3.4.5", true},
                      AddressCase{"1.2.3.4.x", true}, AddressCase{"", false},
                      // the blank-padded record field
                      AddressCase{"192.168.1.10    ", true}, AddressCase{" 10 . 1 .2. 3", true},
                      AddressCase{std::string(16, ' '), false}, AddressCase{"1.2.3.", false},
                      AddressCase{"1..2.3", false}, AddressCase{"1.2.3.4x", false},
                      AddressCase{"1.2.3.0x4", false}, AddressCase{"1.2.3.4e0", false},
                      AddressCase{"99999999999999999999.1.1.1", false},
                      AddressCase{"-99999999999999999999.1.1.1", false},
                      AddressCase{std::string("1.2.3.4\0\0", 9), false},
                      AddressCase{std::string(16, '\0'), false}, AddressCase{"....", false}));

struct RecordCase {
    const char* name;
    const char* ip;
    const char* port;
    const char* message;
};

void PrintTo(const RecordCase& c, std::ostream* out) {
    *out << c.name;
}

class VerificaIndirizzoEthTest : public TerminalFixture,
                                 public ::testing::WithParamInterface<RecordCase> {};

TEST_P(VerificaIndirizzoEthTest, ChecksTheRecordAsItStands) {
    program.records.ethInit.IpAddress.store(GetParam().ip);
    program.records.ethInit.Port.store(GetParam().port);
    EXPECT_EQ(VerificaIndirizzoEth(program), GetParam().message);
}

const char* const BadIp = "Indirizzo IP non valido";
const char* const BadPort = "Porta Eth non valida";

INSTANTIATE_TEST_SUITE_P(
    Records, VerificaIndirizzoEthTest,
    ::testing::Values(RecordCase{"Good", "192.168.1.113", "8080", ""},
                      RecordCase{"LowestPort", "192.168.1.113", "1", ""},
                      RecordCase{"HighestPort", "192.168.1.113", "9999", ""},
                      RecordCase{"PortAfterBlank", "192.168.1.113", " 8080", ""},
                      RecordCase{"NegativePort", "192.168.1.113", "-5", ""},
                      RecordCase{"PortZero", "192.168.1.113", "0", BadPort},
                      RecordCase{"PortBlank", "192.168.1.113", "", BadPort},
                      RecordCase{"PortWithLetter", "192.168.1.113", "80x", BadPort},
                      RecordCase{"PortTooHigh", "192.168.1.113", "10000", BadPort},
                      RecordCase{"ThreeParts", "192.168.1", "8080", BadIp},
                      RecordCase{"IpBeforePort", "a.b.c.d", "80x", BadIp},
                      RecordCase{"BlankIp", "", "8080", BadIp}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST_F(TerminalFixture, VerificaIndirizzoEthRefusesARecordNeverWritten) {
    EXPECT_EQ(VerificaIndirizzoEth(program), "Indirizzo IP non valido");
}

TEST_F(TerminalFixture, VerificaIndirizzoEthChecksNothingForRs232) {
    program.params.ConnectionType = CommunicationParameters::Rs232;
    program.records.ethInit.IpAddress.store("nonsense");
    program.records.ethInit.Port.store("port");
    EXPECT_EQ(VerificaIndirizzoEth(program), "");
}

TEST_F(TerminalFixture, VerificaIndirizzoEthReadsTheRecordNotTheConsole) {
    program.records.ethInit.IpAddress.store("10.0.0.2");
    program.records.ethInit.Port.store("2000");
    form().txtIP.setText("bad");
    form().txtPorta.setText("");
    EXPECT_EQ(VerificaIndirizzoEth(program), "");
}

TEST_F(TerminalFixture, EthernetInitialisationSendsTheConsoleAddressAtItsWidths) {
    form().txtIP.setText("192.168.100.200.7");
    form().txtPorta.setText("123");
    InizializzaConnessione(program, true);

    ASSERT_EQ(library.entryPoints(), std::vector<std::string>{"IAE17AX_InitEth"});
    const EthInitRecord& sent = library.last("IAE17AX_InitEth").ethInit;
    EXPECT_EQ(sent.IpAddress.text(), "192.168.100.200.");
    EXPECT_EQ(sent.Port.text(), "123   ");
}

struct LineCase {
    int com, baud, dataBits, parity, stopBits;
    const char* comPort;
    const char* baudCode;
    const char* dataBitsCode;
    const char* parityCode;
    const char* stopBitsCode;
};

class Rs232InitialisationTest : public TerminalFixture,
                                public ::testing::WithParamInterface<LineCase> {};

TEST_P(Rs232InitialisationTest, SendsTheSelectedIndexes) {
    const LineCase& c = GetParam();
    form().cmbCOM.setListIndex(c.com);
    form().cmbBaud.setListIndex(c.baud);
    form().cmbDati.setListIndex(c.dataBits);
    form().cmbParity.setListIndex(c.parity);
    form().cmbStop.setListIndex(c.stopBits);
    InizializzaConnessione(program, false);

    ASSERT_EQ(library.entryPoints(), std::vector<std::string>{"IAE17AX_InitRS232"});
    const Rs232InitRecord& sent = library.last("IAE17AX_InitRS232").rs232Init;
    EXPECT_EQ(sent.ComPort.text(), c.comPort);
    EXPECT_EQ(sent.BaudCode.text(), c.baudCode);
    EXPECT_EQ(sent.DataBitsCode.text(), c.dataBitsCode);
    EXPECT_EQ(sent.ParityCode.text(), c.parityCode);
    EXPECT_EQ(sent.StopBitsCode.text(), c.stopBitsCode);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Rs232InitialisationTest,
    ::testing::Values(LineCase{9, 3, 1, 2, 1, "COM10 ", "3 ", "1 ", "2 ", "1 "},
                      // nothing selected yet
                      LineCase{-1, -1, -1, -1, -1, "      ", "-1", "-1", "-1", "-1"}));

} // namespace
} // namespace kvl
