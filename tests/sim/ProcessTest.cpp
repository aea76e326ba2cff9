#include "protocol/Frame.h"
#include "protocol/Payload.h"
#include "protocol/Records.h"
#include "support/ChildProcess.h"

#include <arpa/inet.h>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {
namespace {

using namespace iae17::protocol;
using namespace std::chrono_literals;

void send(int fd, const std::string& bytes) {
    EXPECT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
}

// What the simulator sends within the time, up to the size given.
std::string receive(int fd, std::size_t size, long timeoutMs = 5000) {
    const timeval limit{timeoutMs / 1000, timeoutMs % 1000 * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string bytes(size, '\0');
    const ssize_t got = ::recv(fd, bytes.data(), size, MSG_WAITALL);
    return bytes.substr(0, got > 0 ? static_cast<std::size_t>(got) : 0);
}

std::string request(FrameType type, std::uint8_t seq, std::string amount) {
    amount.resize(PosRequestSize, ' ');
    return encode(
        Frame{type, seq, buildRequestPayload(seq, amount, std::string(PosDataSize, ' '))});
}

// The ACK and the ANSWER of a request, whole.
std::string answered(int fd) {
    std::string bytes = receive(fd, 8 + HeaderSize);
    const std::size_t length =
        static_cast<std::uint8_t>(bytes[11]) << 8 | static_cast<std::uint8_t>(bytes[12]);
    return bytes + receive(fd, length + TrailerSize);
}

TEST(SimulatorProcessTest, RefusesBadOptionsNaksGarbageSurvivesNoiseAndEndsOnSigterm) {
    kvl::test::ChildProcess refused(TERMINAL_SIM_PROGRAM, {"--tcp", "127.0.0.1:0", "--drop=soon"});
    EXPECT_EQ(refused.wait(10s), 2);
    EXPECT_NE(refused.errors().find("drop takes"), std::string::npos) << refused.errors();

    kvl::test::ChildProcess simulator(TERMINAL_SIM_PROGRAM,
                                      {"--tcp", "127.0.0.1:0", "--ack-timeout", "300"});
    const auto line = simulator.waitForLine("listening tcp ", 10s);
    ASSERT_TRUE(line) << simulator.errors();
    const auto port = static_cast<std::uint16_t>(std::stoi(line->substr(line->rfind(':') + 1)));
    // Port 0 picks one that a cash-desk program accepts, 1 to 9999.
    EXPECT_GE(port, 1);
    EXPECT_LE(port, 9999);
    const auto connect = [address =
                              sockaddr_in{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}}] {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        return fd;
    };
    {
        std::string noise(64000, '\x02'); // STX bytes among random ones, then the line drops
        for (std::uint32_t i = 0, state = 7411; i < noise.size(); i += 2)
            noise[i] = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
        const int fd = connect();
        send(fd, noise);
        ::close(fd);
    }
    // Bytes outside any frame get a NAK; a new request while the last answer awaits its ACK (lost
    // on the way) is served, not refused as busy, and the old answer is not sent again.
    const int fd = connect();
    send(fd, "not a frame");
    EXPECT_EQ(receive(fd, 9), encode(nakFrame(0, NakReason::BadFrame)));
    send(fd, request(FrameType::Status, 1, ""));
    EXPECT_EQ(answered(fd).substr(0, 11), encode(ackFrame(1)) + "\x02\x30\x01");
    send(fd, request(FrameType::Payment, 2, "1000"));
    EXPECT_EQ(answered(fd).substr(0, 11), encode(ackFrame(2)) + "\x02\x30\x02");
    send(fd, encode(ackFrame(2)));
    EXPECT_EQ(receive(fd, 1, 500), "");
    ::close(fd);

    simulator.signal(SIGTERM);
    EXPECT_EQ(simulator.wait(10s), 0);
    const std::string log = simulator.output();
    for (const char* exchange :
         {" Status seq=1 id=0000000000000001 amount=- stan=- result=00 fault=none end=superseded\n",
          " Payment seq=2 id=0000000000000002 amount=1000 stan=0000001 result=00 fault=none "
          "end=acked\n"}) {
        EXPECT_NE(log.find(exchange), std::string::npos) << log;
    }
}

} // namespace
} // namespace sim
