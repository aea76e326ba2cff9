#include "protocol/Frame.h"
#include "support/ChildProcess.h"

#include <arpa/inet.h>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {
namespace {

using namespace iae17::protocol;
using namespace std::chrono_literals;

// A connection to the simulator, reading frames with a deadline.
class Peer {
public:
    explicit Peer(int port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    ~Peer() { ::close(fd_); }

    void send(const std::string& bytes) {
        EXPECT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // The type, seq and NAK reason of the next whole frame ("NAK 0 1"), "none"
    // when none comes in time.
    std::string frame(std::chrono::milliseconds timeout = 5s) {
        for (pollfd ready{fd_, POLLIN, 0};;) {
            while (auto event = decoder_.next()) {
                if (event->kind == Decoder::Event::FrameReady) {
                    const auto reason = nakReason(event->frame.payload);
                    return typeName(event->frame.type) + (" " + std::to_string(event->frame.seq)) +
                           (reason ? " " + std::to_string(static_cast<int>(*reason)) : "");
                }
            }
            char buffer[8192];
            const ssize_t got = ::poll(&ready, 1, static_cast<int>(timeout.count())) > 0
                                    ? ::read(fd_, buffer, sizeof buffer)
                                    : 0;
            if (got <= 0) {
                return "none";
            }
            decoder_.feed(buffer, static_cast<std::size_t>(got));
        }
    }

private:
    int fd_;
    Decoder decoder_;
};

std::string request(FrameType type, std::uint8_t seq, std::string amount) {
    amount.resize(PosRequestSize, ' ');
    return encode(Frame{type, seq, buildRequestPayload(amount, std::string(PosDataSize, ' '))});
}

TEST(SimulatorProcessTest, RefusesGarbageSurvivesNoiseAndEndsOnSigterm) {
    kvl::test::ChildProcess simulator(TERMINAL_SIM_PROGRAM,
                                      {"--tcp", "127.0.0.1:0", "--ack-timeout", "300"});
    const auto line = simulator.waitForLine("listening tcp ", 10s);
    ASSERT_TRUE(line) << simulator.errors();
    const int port = std::stoi(line->substr(line->rfind(':') + 1));
    // Random bytes, bounded, on connections served one after another.
    std::mt19937 random(7411);
    for (int connection = 0; connection < 4; ++connection) {
        Peer peer(port);
        for (int chunk = 0; chunk < 8; ++chunk) {
            std::string noise(std::uniform_int_distribution<std::size_t>(1, 4000)(random), '\0');
            for (char& byte : noise) {
                byte = static_cast<char>(random());
            }
            peer.send(noise);
        }
    }
    ASSERT_TRUE(simulator.running());

    // Bytes outside any frame get a NAK (bad frame); then a new request while the last answer
    // awaits its ACK (lost on the way) is served, not refused as busy, and the old answer is not
    // sent again.
    Peer peer(port);
    peer.send("not a frame");
    EXPECT_EQ(peer.frame(), "NAK 0 1");
    peer.send(request(FrameType::Status, 1, ""));
    EXPECT_EQ(peer.frame(), "ACK 1");
    EXPECT_EQ(peer.frame(), "ANSWER 1");
    peer.send(request(FrameType::Payment, 2, "1000"));
    EXPECT_EQ(peer.frame(), "ACK 2");
    EXPECT_EQ(peer.frame(), "ANSWER 2");
    peer.send(encode(ackFrame(2)));
    EXPECT_EQ(peer.frame(500ms), "none");

    simulator.signal(SIGTERM);
    EXPECT_EQ(simulator.wait(10s), 0);
    const std::string log = simulator.output();
    for (const char* exchange :
         {" Status seq=1 amount=- stan=- result=00 fault=none end=superseded\n",
          " Payment seq=2 amount=1000 stan=0000001 result=00 fault=none end=acked\n"}) {
        EXPECT_NE(log.find(exchange), std::string::npos) << log;
    }
}

} // namespace
} // namespace sim
