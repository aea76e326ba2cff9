#include "LoadedLibrary.h"

#include "FakeTcpTerminal.h"
#include "library/Exchange.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace iae17::test {
namespace {

using namespace std::chrono_literals;
using protocol::Frame;
using protocol::FrameType;

constexpr std::size_t Guard = 32;

// The bridge's records as it hands them over, with guard bytes behind each
// image to catch any write beyond it.
struct Images {
    std::string ethInit;
    std::string posRequest = std::string(protocol::PosRequestSize + Guard, '#');
    std::string posData = std::string(protocol::PosDataSize + Guard, '#');

    explicit Images(int port) : ethInit(ethInitImage(port)) {
        std::string request = "000001250CASSA01  0 ";
        request.resize(protocol::PosRequestSize, '\0');
        posRequest.replace(0, request.size(), request);
        posData.replace(0, protocol::PosDataSize, protocol::PosDataSize, '\0');
    }

    std::string answer() const { return posData.substr(0, protocol::PosDataSize); }
    bool guardsIntact() const {
        return posRequest.substr(protocol::PosRequestSize) == std::string(Guard, '#') &&
               posData.substr(protocol::PosDataSize) == std::string(Guard, '#');
    }
};

class TcpLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("IAE17_CONNECT_TIMEOUT_MS", "300", 1);
        ::setenv("IAE17_ACK_TIMEOUT_MS", "300", 1);
        ::setenv("IAE17_ANSWER_TIMEOUT_MS", "600", 1);
        ::unsetenv("IAE17_TRACE");
    }
    void TearDown() override {
        for (const char* name : {"IAE17_CONNECT_TIMEOUT_MS", "IAE17_ACK_TIMEOUT_MS",
                                 "IAE17_ANSWER_TIMEOUT_MS", "IAE17_TRACE"}) {
            ::unsetenv(name);
        }
    }

    // InitEth then the operation, as the bridge calls them.
    short run(Images& images, LoadedLibrary::Operation operation = nullptr) {
        lib.initEth(images.ethInit.data());
        return (operation ? operation : lib.payment)(images.posRequest.data(),
                                                     images.posData.data());
    }

    const LoadedLibrary& lib = LoadedLibrary::get();
};

TEST_F(TcpLibrary, ExportsEveryEntryPointByName) {
    for (const char* name : {"IAE17AX_GetVersion", "IAE17AX_Free", "IAE17AX_InitEth",
                             "IAE17AX_InitRS232", "IAE17AX_Payment", "IAE17AX_PaymentExt",
                             "IAE17AX_Refund", "IAE17AX_Void", "IAE17AX_TerminalBalance",
                             "IAE17AX_Closure", "IAE17AX_Status", "IAE17AX_Preauthorization",
                             "IAE17AX_PreauthorizationInt", "IAE17AX_PreauthorizationClose"}) {
        EXPECT_NE(nullptr, lib.find(name)) << name;
    }
    EXPECT_EQ(nullptr, lib.find("_ZN5iae178protocol6encodeERKNS0_5FrameE"));
}

TEST_F(TcpLibrary, VersionFillsExactlyTenCharacters) {
    std::string buffer(16, '#');
    EXPECT_EQ(0, lib.getVersion(buffer.data()));
    EXPECT_EQ("IAE17 1.00######", buffer);
}

TEST_F(TcpLibrary, PaymentCarriesBothImagesAndBringsPosDataBack) {
    std::string received;
    FakeTcpTerminal terminal([&](FrameLink& link) {
        const auto request = link.receive(2s);
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(FrameType::Payment, request->type);
        received = request->payload;
        link.send(protocol::ackFrame(request->seq));
        link.send(answerFrame(request->seq, 0, "TERM0001ACQ"));
        const auto ack = link.receive(2s);
        ASSERT_TRUE(ack.has_value());
        EXPECT_EQ(FrameType::Ack, ack->type);
    });
    Images images(terminal.port());
    const std::string sentRequest = images.posRequest.substr(0, protocol::PosRequestSize);

    EXPECT_EQ(Result::Ok, run(images));
    EXPECT_EQ(sentRequest + std::string(protocol::PosDataSize, '\0'), received);
    EXPECT_EQ("TERM0001ACQ ", images.answer().substr(0, 12));
    EXPECT_TRUE(images.guardsIntact());
}

TEST_F(TcpLibrary, SequenceNumberAdvancesPerRequest) {
    std::vector<int> seqs;
    FakeTcpTerminal terminal([&](FrameLink& link) {
        const auto request = link.receive(2s);
        if (request) {
            seqs.push_back(request->seq);
            link.send(protocol::ackFrame(request->seq));
            link.send(answerFrame(request->seq, 0, ""));
            link.receive(2s);
        }
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::Ok, run(images, lib.status));
    EXPECT_EQ(Result::Ok, run(images, lib.closure));
    ASSERT_EQ(2u, seqs.size());
    EXPECT_EQ((seqs[0] + 1) % 256, seqs[1]);
}

TEST_F(TcpLibrary, ClosedPortIsACommunicationError) {
    Images images(closedPort());
    EXPECT_EQ(Result::ComError, run(images));
    EXPECT_EQ(std::string(protocol::PosDataSize, '\0'), images.answer());
}

TEST_F(TcpLibrary, GarbageInsteadOfFramesIsAProtocolError) {
    FakeTcpTerminal terminal([](FrameLink& link) {
        while (link.receive(1s)) {
            link.sendBytes("+++ATH0\r\n");
        }
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::ProtocolError, run(images));
    EXPECT_EQ(3, terminal.requests());
}

TEST_F(TcpLibrary, SilentTerminalTimesOutAfterThreeSends) {
    FakeTcpTerminal terminal([](FrameLink& link) {
        while (link.receive(2s)) {
        }
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::Timeout, run(images));
    EXPECT_EQ(3, terminal.requests());
}

TEST_F(TcpLibrary, UnsupportedFunctionIsReportedWithItsPosData) {
    FakeTcpTerminal terminal([](FrameLink& link) { serveOnce(link, 4, "NOT SUPPORTED"); });
    Images images(terminal.port());
    EXPECT_EQ(Result::NotSupported, run(images, lib.voidOperation));
    EXPECT_EQ("NOT SUPPORTED", images.answer().substr(0, 13));
}

TEST_F(TcpLibrary, ProgressKeepsALongOperationAlive) {
    FakeTcpTerminal terminal([](FrameLink& link) {
        const auto request = link.receive(2s);
        ASSERT_TRUE(request.has_value());
        link.send(protocol::ackFrame(request->seq));
        // Twice the answer time-out in all, never 600 ms without a word.
        for (int i = 0; i < 6; ++i) {
            std::this_thread::sleep_for(200ms);
            link.send(Frame{FrameType::Progress, request->seq, "DIGITARE PIN"});
        }
        link.send(answerFrame(request->seq, 0, "DONE"));
        link.receive(2s);
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::Ok, run(images));
    EXPECT_EQ("DONE", images.answer().substr(0, 4));
}

TEST_F(TcpLibrary, ConnectionDroppedAfterAckIsNeverResent) {
    FakeTcpTerminal terminal([](FrameLink& link) {
        const auto request = link.receive(2s);
        if (request) {
            link.send(protocol::ackFrame(request->seq));
        }
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::ComError, run(images));
    EXPECT_EQ(1, terminal.requests());
    EXPECT_EQ(1, terminal.connections());
}

TEST_F(TcpLibrary, AnswerLostAfterAckTimesOutWithoutResending) {
    FakeTcpTerminal terminal([](FrameLink& link) {
        const auto request = link.receive(2s);
        if (request) {
            link.send(protocol::ackFrame(request->seq));
            while (link.receive(2s)) {
            }
        }
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::Timeout, run(images));
    EXPECT_EQ(1, terminal.requests());
}

TEST_F(TcpLibrary, NakOfTheFirstSendThenSuccess) {
    FakeTcpTerminal terminal([](FrameLink& link) {
        const auto first = link.receive(2s);
        ASSERT_TRUE(first.has_value());
        link.send(protocol::nakFrame(first->seq, protocol::NakReason::BadFrame));
        serveOnce(link, 0, "SECOND");
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::Ok, run(images));
    EXPECT_EQ(2, terminal.requests());
    EXPECT_EQ("SECOND", images.answer().substr(0, 6));
}

TEST_F(TcpLibrary, BadCrcAnswerIsRefusedThenTheResendAccepted) {
    FakeTcpTerminal terminal([](FrameLink& link) {
        const auto request = link.receive(2s);
        ASSERT_TRUE(request.has_value());
        link.send(protocol::ackFrame(request->seq));
        std::string damaged = protocol::encode(answerFrame(request->seq, 0, "BROKEN"));
        damaged[damaged.size() - 1] ^= 0x01;
        link.sendBytes(damaged);
        const auto nak = link.receive(2s);
        ASSERT_TRUE(nak.has_value());
        EXPECT_EQ(FrameType::Nak, nak->type);
        EXPECT_EQ(request->seq, nak->seq);
        link.send(answerFrame(request->seq, 0, "RESENT"));
        link.receive(2s);
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::Ok, run(images));
    EXPECT_EQ("RESENT", images.answer().substr(0, 6));
}

TEST_F(TcpLibrary, OversizedAnswerNeverWritesBeyondTheImages) {
    FakeTcpTerminal terminal([](FrameLink& link) {
        const auto request = link.receive(2s);
        if (request) {
            link.send(protocol::ackFrame(request->seq));
            link.send(Frame{FrameType::Answer, request->seq, std::string(8000, 'X')});
            link.receive(1s);
        }
    });
    Images images(terminal.port());
    EXPECT_EQ(Result::ProtocolError, run(images));
    EXPECT_TRUE(images.guardsIntact());
    EXPECT_EQ(std::string(protocol::PosDataSize, '\0'), images.answer());
}

TEST_F(TcpLibrary, InvalidInitDoesNotFallBackToTheEarlierTerminal) {
    FakeTcpTerminal terminal([](FrameLink& link) { serveOnce(link); });
    Images images(terminal.port());
    EXPECT_EQ(Result::Ok, run(images, lib.status));

    images.ethInit.replace(16, 6, "0     ");
    EXPECT_EQ(Result::ComError, run(images, lib.status));
    EXPECT_EQ(1, terminal.requests());

    // After Free nothing is remembered either.
    Images again(terminal.port());
    EXPECT_EQ(Result::Ok, run(again, lib.status));
    lib.free();
    EXPECT_EQ(Result::ComError, lib.status(again.posRequest.data(), again.posData.data()));
    EXPECT_EQ(2, terminal.requests());
}

TEST_F(TcpLibrary, TraceRecordsEveryFrameInHex) {
    kvl::test::TempFolder folder;
    const std::string trace = folder.file("trace.txt");
    ::setenv("IAE17_TRACE", trace.c_str(), 1);
    FakeTcpTerminal terminal([](FrameLink& link) { serveOnce(link); });
    Images images(terminal.port());
    EXPECT_EQ(Result::Ok, run(images, lib.status));

    std::ifstream in(trace);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(4u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(" send Status seq "));
    EXPECT_NE(std::string::npos, lines[0].find(": 02 16 "));
    EXPECT_NE(std::string::npos, lines[1].find(" recv ACK seq "));
    EXPECT_NE(std::string::npos, lines[2].find(" recv ANSWER seq "));
    EXPECT_NE(std::string::npos, lines[3].find(" send ACK seq "));
}

} // namespace
} // namespace iae17::test
