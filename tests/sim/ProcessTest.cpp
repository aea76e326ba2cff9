#include "TerminalEndpoint.h"

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {
namespace {

using iae17::protocol::Decoder;
using iae17::protocol::Frame;
using iae17::protocol::FrameType;
using kvl::test::ChildProcess;
using namespace std::chrono_literals;

// One end of a byte stream to the simulator (a socket or a pseudo-terminal),
// reading frames with a deadline.
class Peer {
public:
    Peer(int fd, bool socket) : fd_(fd), socket_(socket) {}
    ~Peer() {
        if (fd_ >= 0)
            close(fd_);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    static std::unique_ptr<Peer> tcp(int port) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return std::make_unique<Peer>(fd, true);
    }

    // Writes what the peer takes without blocking; whatever the simulator
    // sends meanwhile is read into the decoder, so neither side can stall.
    void send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            pollfd ready{fd_, POLLOUT | POLLIN, 0};
            ASSERT_GT(poll(&ready, 1, 5000), 0);
            if (ready.revents & POLLIN)
                drain();
            if (ready.revents & POLLOUT) {
                const char* from = bytes.data() + done;
                const std::size_t left = bytes.size() - done;
                const ssize_t written =
                    socket_ ? ::send(fd_, from, left, MSG_NOSIGNAL) : ::write(fd_, from, left);
                ASSERT_GT(written, 0);
                done += static_cast<std::size_t>(written);
            }
        }
    }
    void send(const Frame& frame) { send(iae17::protocol::encode(frame)); }

    // The next whole frame, or nullopt when none comes within the time.
    std::optional<Frame> frame(std::chrono::milliseconds timeout = 5000ms) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            while (auto event = decoder_.next())
                if (event->kind == Decoder::Event::FrameReady)
                    return event->frame;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0)
                return std::nullopt;
            char buffer[4096];
            const ssize_t got = read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                return std::nullopt;
            decoder_.feed(buffer, static_cast<std::size_t>(got));
        }
    }

private:
    void drain() {
        char buffer[4096];
        pollfd ready{fd_, POLLIN, 0};
        ssize_t got = 0;
        while (poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN) &&
               (got = read(fd_, buffer, sizeof buffer)) > 0)
            decoder_.feed(buffer, static_cast<std::size_t>(got));
    }

    int fd_;
    bool socket_;
    Decoder decoder_;
};

std::string requestPayload(const std::string& amount) {
    kvl::PosRequest request;
    request.Amount.store(amount);
    kvl::POSDATA given;
    const auto requestImage = kvl::packImage(request);
    const auto givenImage = kvl::packImage(given);
    return iae17::protocol::buildRequestPayload(
        std::string(requestImage.data(), requestImage.size()),
        std::string(givenImage.data(), givenImage.size()));
}

void expectAckAndAnswer(Peer& peer, std::uint8_t seq) {
    const std::optional<Frame> ack = peer.frame();
    ASSERT_TRUE(ack);
    EXPECT_EQ(ack->type, FrameType::Ack);
    EXPECT_EQ(ack->seq, seq);
    const std::optional<Frame> answer = peer.frame();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, FrameType::Answer);
    EXPECT_EQ(answer->seq, seq);
    EXPECT_TRUE(iae17::protocol::splitAnswerPayload(answer->payload));
    peer.send(iae17::protocol::ackFrame(seq));
}

class SimulatorProcessTest : public ::testing::Test {
protected:
    void start(std::vector<std::string> arguments) {
        process = std::make_unique<ChildProcess>(TERMINAL_SIM_PROGRAM, arguments);
    }

    int startTcp(std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments{"--tcp", "127.0.0.1:0"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        start(arguments);
        const auto line = process->waitForLine("listening tcp ", 10s);
        EXPECT_TRUE(line) << process->errors();
        if (!line)
            return 0;
        return std::stoi(line->substr(line->rfind(':') + 1));
    }

    void stopAndExpectCleanEnd() {
        process->signal(SIGTERM);
        EXPECT_EQ(process->wait(10s), 0);
    }

    std::unique_ptr<ChildProcess> process;
};

TEST_F(SimulatorProcessTest, AnswersARequestAndRefusesGarbageOverTcp) {
    const int port = startTcp();
    ASSERT_GT(port, 0);
    auto peer = Peer::tcp(port);
    peer->send(Frame{FrameType::Payment, 1, requestPayload("1000")});
    expectAckAndAnswer(*peer, 1);

    peer->send("not a frame");
    const std::optional<Frame> nak = peer->frame();
    ASSERT_TRUE(nak);
    EXPECT_EQ(nak->type, FrameType::Nak);
    EXPECT_EQ(nak->payload, "\x01");

    EXPECT_NE(process->output().find(" Payment seq=1 amount=1000 stan=0000001 result=00 "
                                     "fault=none end=acked\n"),
              std::string::npos)
        << process->output();
    stopAndExpectCleanEnd();
}

TEST_F(SimulatorProcessTest, SurvivesRandomBytesAndStillServes) {
    const int port = startTcp();
    ASSERT_GT(port, 0);
    std::mt19937 random(7411);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> size(1, 9000);
    for (int connection = 0; connection < 6; ++connection) {
        auto peer = Peer::tcp(port);
        for (int chunk = 0; chunk < 8; ++chunk) {
            std::string noise(static_cast<std::size_t>(size(random)), '\0');
            for (char& c : noise)
                c = static_cast<char>(byte(random));
            peer->send(noise);
        }
    }
    ASSERT_TRUE(process->running());

    auto peer = Peer::tcp(port);
    peer->send(Frame{FrameType::Status, 9, requestPayload("")});
    // Bytes held from the noise cannot delay a fresh connection's request.
    expectAckAndAnswer(*peer, 9);
    stopAndExpectCleanEnd();
}

TEST_F(SimulatorProcessTest, ScenarioRuleAppliesToTheCallItNames) {
    kvl::test::TempFolder folder;
    kvl::test::writeFile(folder.file("faults.txt"), "# second call unsupported\n"
                                                    "any#2 unsupported\n");
    const int port = startTcp({"--scenario", folder.file("faults.txt")});
    ASSERT_GT(port, 0);
    for (std::uint8_t seq : {1, 2}) {
        auto peer = Peer::tcp(port);
        peer->send(Frame{FrameType::Refund, seq, requestPayload("500")});
        ASSERT_EQ(peer->frame()->type, FrameType::Ack);
        const std::optional<Frame> answer = peer->frame();
        ASSERT_TRUE(answer);
        EXPECT_EQ(iae17::protocol::splitAnswerPayload(answer->payload)->result, seq == 1 ? 0 : 4);
    }
    stopAndExpectCleanEnd();
}

TEST_F(SimulatorProcessTest, ServesAPseudoTerminal) {
    start({"--pty"});
    const auto line = process->waitForLine("pty ", 10s);
    ASSERT_TRUE(line) << process->errors();
    // The library opens the device for each operation.
    for (int opening = 0; opening < 2; ++opening) {
        const int fd = open(line->substr(4).c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        Peer peer(fd, false);
        peer.send(Frame{FrameType::Status, 3, requestPayload("")});
        expectAckAndAnswer(peer, 3);
    }
    stopAndExpectCleanEnd();
}

struct Refusal {
    std::vector<std::string> arguments;
    std::string message;
};

class CommandLineRefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(CommandLineRefusalTest, EndsWithStatusTwoAndSaysWhy) {
    kvl::test::TempFolder folder;
    kvl::test::writeFile(folder.file("bad.txt"), "payment#1 timeout\npayment#x timeout\n");
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& argument : arguments)
        if (argument == "BAD")
            argument = folder.file("bad.txt");
    const kvl::test::RunResult result =
        kvl::test::runProgram(TERMINAL_SIM_PROGRAM, arguments, {}, 10s);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.errors.find(GetParam().message), std::string::npos) << result.errors;
    EXPECT_EQ(result.output, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineRefusalTest,
    ::testing::Values(Refusal{{}, "nothing to listen on"},
                      Refusal{{"--tcp", "127.0.0.1:0", "--drop", "soon"}, "drop takes before-ack"},
                      Refusal{{"--tcp", "127.0.0.1:0", "--scenario", "BAD"},
                              "line 2: \"payment#x\""},
                      Refusal{{"--tcp", "127.0.0.1:0", "--scenario", "/no/such/file"},
                              "cannot read the scenario /no/such/file"}));

} // namespace
} // namespace sim
