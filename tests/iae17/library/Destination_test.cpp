#include "library/Destination.h"

#include <gtest/gtest.h>

namespace iae17 {
namespace {

std::string record(const std::string& text, std::size_t size) {
    std::string image = text;
    image.resize(size, '\0');
    return image;
}

TEST(ParseEthInit, ReadsPaddedAddressAndPort) {
    const std::string image = record("192.168.1.113   9999  ", EthInitSize);
    const auto destination = parseEthInit(image.c_str());
    const auto* ethernet = std::get_if<EthernetDestination>(&destination);
    ASSERT_NE(nullptr, ethernet);
    EXPECT_EQ("192.168.1.113", ethernet->address);
    EXPECT_EQ(9999, ethernet->port);
}

TEST(ParseEthInit, RefusesWhatCannotBeReached) {
    const char* images[] = {
        "                      ", // never written: blanks
        "192.168.1.1     0     ", // port 0
        "192.168.1.1     65536 ", // port out of range
        "192.168.1.1     12a   ", // not a number
        "192.168.1.300   9999  ", // not an address
        "terminal.local  9999  ", // a name, not an address
        "1.2.3.4.5.6.7.8.99999 ", // 16 characters of nonsense
    };
    for (const char* text : images) {
        const std::string image = record(text, EthInitSize);
        EXPECT_TRUE(std::holds_alternative<InvalidDestination>(parseEthInit(image.c_str())))
            << text;
    }
    EXPECT_TRUE(std::holds_alternative<InvalidDestination>(parseEthInit(nullptr)));
    // A record the program never wrote holds NULs.
    const std::string nuls(EthInitSize, '\0');
    EXPECT_TRUE(std::holds_alternative<InvalidDestination>(parseEthInit(nuls.c_str())));
}

TEST(ParseRs232Init, ReadsPortNumberAndLine) {
    const std::string image = record("COM12 3 0 2 1 ", Rs232InitSize);
    const auto destination = parseRs232Init(image.c_str());
    const auto* serial = std::get_if<SerialDestination>(&destination);
    ASSERT_NE(nullptr, serial);
    EXPECT_EQ(12u, serial->comNumber);
    EXPECT_EQ(4800u, serial->line.baud);
    EXPECT_EQ(7u, serial->line.dataBits);
    EXPECT_EQ(Parity::Even, serial->line.parity);
    EXPECT_EQ(2u, serial->line.stopBits);
}

TEST(ParseRs232Init, RefusesBadPortOrCodes) {
    const char* images[] = {
        "COM0  4 1 0 0 ", "LPT1  4 1 0 0 ", "COM   4 1 0 0 ",
        "COMx  4 1 0 0 ", "COM1  9 1 0 0 ", "COM1  4 1 0   ",
    };
    for (const char* text : images) {
        const std::string image = record(text, Rs232InitSize);
        EXPECT_TRUE(std::holds_alternative<InvalidDestination>(parseRs232Init(image.c_str())))
            << text;
    }
    EXPECT_TRUE(std::holds_alternative<InvalidDestination>(parseRs232Init(nullptr)));
}

TEST(ParseRs232Init, PortNameIgnoresCase) {
    const std::string image = record("com2  4 1 0 0 ", Rs232InitSize);
    const auto destination = parseRs232Init(image.c_str());
    ASSERT_TRUE(std::holds_alternative<SerialDestination>(destination));
    EXPECT_EQ(2u, std::get<SerialDestination>(destination).comNumber);
}

} // namespace
} // namespace iae17
