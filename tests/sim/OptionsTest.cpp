#include "Options.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

Options read(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--tcp", "127.0.0.1:0"});
    const OptionsReading reading = readOptions(arguments);
    EXPECT_EQ(reading.error, "");
    return reading.options;
}

TEST(OptionsTest, ListenersAndTerminalSettings) {
    const Options options = read({"--pty", "--terminal-id=T1", "--acquirer-id", "ACQ123456789",
                                  "--limit", "999", "--check-terminal-id", "--ack-timeout=150"});
    EXPECT_EQ(options.tcpHost, "127.0.0.1");
    EXPECT_EQ(options.tcpPort, 0);
    EXPECT_TRUE(options.pty);
    EXPECT_EQ(options.terminal.terminalId, "T1");
    EXPECT_EQ(options.terminal.acquirerId, "ACQ123456789");
    EXPECT_EQ(options.terminal.limit, 999);
    EXPECT_TRUE(options.terminal.checkTerminalId);
    EXPECT_EQ(options.ackTimeoutMs, 150u);
}

TEST(OptionsTest, BracketedIpv6AndSerialSpeed) {
    const OptionsReading reading =
        readOptions({"--tcp", "[::1]:4500", "--serial", "/dev/ttyS1", "--baud", "19200"});
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(reading.options.tcpHost, "::1");
    EXPECT_EQ(reading.options.tcpPort, 4500);
    EXPECT_EQ(reading.options.serialPath, "/dev/ttyS1");
    EXPECT_EQ(reading.options.baud, 19200u);
}

TEST(OptionsTest, FaultOptionsBecomeTheDefaults) {
    const Options options =
        read({"--delay", "250", "--progress=2", "--timeout", "--nak", "--garbage=ack", "--badcrc",
              "3", "--drop", "after-answer", "--unsupported", "payment,Closure"});
    EXPECT_EQ(describe(options.defaults),
              "nak,garbage=ack,delay=250,progress=2,timeout,badcrc=3,drop=after-answer");
    EXPECT_EQ(options.unsupported,
              (std::vector<Operation>{Operation::Payment, Operation::Closure}));
    EXPECT_EQ(read({"--garbage"}).defaults.garbage, GarbagePoint::InsteadOfAnswer);
}

TEST(OptionsTest, HelpNeedsNoListener) {
    const OptionsReading reading = readOptions({"--help"});
    EXPECT_EQ(reading.error, "");
    EXPECT_TRUE(reading.options.help);
}

struct Refused {
    std::vector<std::string> arguments;
    std::string error;
};

class OptionsRefusalTest : public ::testing::TestWithParam<Refused> {};

TEST_P(OptionsRefusalTest, SaysWhatIsWrong) {
    EXPECT_EQ(readOptions(GetParam().arguments).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionsRefusalTest,
    ::testing::Values(
        Refused{{"--pty", "--serial", "/dev/ttyS0"}, "--serial and --pty cannot be used together"},
        Refused{{"--tcp", ":80"},
                "--tcp takes HOST:PORT, e.g. 127.0.0.1:0 (port 0 picks a free one)"},
        Refused{{"--pty", "--baud", "9601"},
                "--baud takes one of 300 1200 2400 4800 9600 19200 38400 57600 115200"},
        Refused{{"--pty", "--pty=yes"}, "--pty takes no value"},
        Refused{{"--pty", "--nak=2"}, "--nak takes no value"},
        Refused{{"--pty", "--terminal-id", "A B"},
                "--terminal-id takes 1 to 9 printable characters, no blanks"},
        Refused{{"--pty", "--limit", "-1"}, "--limit takes cents from 0 to 999999999"},
        Refused{{"--pty", "--ack-timeout", "0"},
                "--ack-timeout takes milliseconds from 1 to 600000"},
        Refused{{"--pty", "--badcrc", "x"},
                "--badcrc: \"badcrc=x\" needs a whole number from 0 to 100"},
        Refused{{"--pty", "--unsupported", ""}, "--unsupported: unknown operation \"\""},
        Refused{{"--pty", "stray"}, "unknown option \"stray\""},
        Refused{{"--pty", "--scenario"}, "--scenario needs a value"}));

} // namespace
} // namespace sim
