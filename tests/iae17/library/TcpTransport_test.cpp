#include "library/TcpTransport.h"

#include "FakeTcpTerminal.h"

#include <gtest/gtest.h>

#include <csignal>

namespace iae17 {
namespace {

using namespace std::chrono_literals;

EthernetDestination loopback(int port) {
    return EthernetDestination{"127.0.0.1", static_cast<unsigned short>(port)};
}

TEST(TcpTransport, ClosedPortCannotBeConnected) {
    std::string why;
    EXPECT_EQ(nullptr, TcpTransport::connect(loopback(test::closedPort()), 500ms, why));
    EXPECT_NE(std::string::npos, why.find("connect failed")) << why;
}

TEST(TcpTransport, WritingToAResetConnectionFailsWithoutASignal) {
    // Default SIGPIPE handling, as in a program that never touched it.
    const auto previous = std::signal(SIGPIPE, SIG_DFL);
    test::FakeTcpTerminal terminal([](test::FrameLink& link) {
        link.receive(2000ms);
        link.resetConnection();
    });
    std::string why;
    const auto transport = TcpTransport::connect(loopback(terminal.port()), 500ms, why);
    ASSERT_NE(nullptr, transport) << why;

    ASSERT_EQ(TransportStatus::Ok,
              transport->write(protocol::encode(protocol::ackFrame(1)), 500ms));
    std::string bytes;
    EXPECT_EQ(TransportStatus::Closed, transport->read(bytes, 2000ms));
    const TransportStatus written = transport->write(std::string(64, 'x'), 500ms);
    EXPECT_NE(TransportStatus::Ok, written);
    std::signal(SIGPIPE, previous);
}

TEST(TcpTransport, ReadGivesUpWhenNothingComes) {
    test::FakeTcpTerminal terminal([](test::FrameLink& link) { link.receive(1000ms); });
    std::string why;
    const auto transport = TcpTransport::connect(loopback(terminal.port()), 500ms, why);
    ASSERT_NE(nullptr, transport) << why;
    std::string bytes;
    EXPECT_EQ(TransportStatus::Timeout, transport->read(bytes, 20ms));
    EXPECT_TRUE(bytes.empty());
    // Still usable after a time-out: the cancelled read left nothing behind.
    EXPECT_EQ(TransportStatus::Ok, transport->write("\x02", 500ms));
}

} // namespace
} // namespace iae17
