// libiae17.so loaded with dlopen and called as the bridge calls it, against
// the real terminal-sim over loopback TCP and a pseudo-terminal.
#include "LineRelay.h"
#include "library/Exchange.h"
#include "protocol/Frame.h"
#include "protocol/Payload.h"
#include "protocol/Records.h"
#include "support/Installation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <dlfcn.h>
#include <functional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace iae17 {
namespace {

using namespace std::chrono_literals;

// A record image of its exact size between guard bytes that must stay intact.
struct Image {
    Image(std::string text, std::size_t size, char fill = ' ')
        : bytes(Guard + text.append(size - text.size(), fill) + Guard) {}
    char* data() { return &bytes[Guard.size()]; }
    std::string text() const { return bytes.substr(Guard.size(), bytes.size() - 2 * Guard.size()); }
    bool guarded() const {
        return bytes.compare(0, Guard.size(), Guard) == 0 &&
               bytes.compare(bytes.size() - Guard.size(), Guard.size(), Guard) == 0;
    }

    inline static const std::string Guard = "#guard#";
    std::string bytes;
};

using kvl::test::Simulator;

// Read once the simulator stopped: an exchange is logged once it is over.
int charges(const Simulator& simulator) {
    return simulator.logged({" Payment seq=", " result=00 "});
}

class Library : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto [name, value] : {std::pair{"ACK_TIMEOUT_MS", "300"},
                                   {"STATUS_TIMEOUT_MS", "600"},
                                   {"ANSWER_TIMEOUT_MS", "600"},
                                   {"RECOVERY_MS", "1500"},
                                   {"TRACE", trace.c_str()}})
            ::setenv((std::string("IAE17_") + name).c_str(), value, 1);
    }
    // The init record, then the operation with the request and the POSDATA.
    short call(const std::string& port, const char* operation = "IAE17AX_Payment") {
        return call("IAE17AX_InitEth", Image("127.0.0.1       " + port, 22), operation);
    }
    short callSerial(const std::string& codes, const char* operation = "IAE17AX_Payment") {
        return call("IAE17AX_InitRS232", Image("COM1  " + codes, 14), operation);
    }
    short call(const char* initName, Image init, const char* operation) {
        static void* const library = ::dlopen(IAE17_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            throw std::runtime_error(::dlerror());
        }
        Image request("000001250CASSA01", 219);
        reinterpret_cast<short (*)(char*)>(::dlsym(library, initName))(init.data());
        const short result = reinterpret_cast<short (*)(char*, char*)>(::dlsym(library, operation))(
            request.data(), posData.data());
        EXPECT_TRUE(init.guarded() && request.guarded() && posData.guarded());
        return result;
    }
    std::string transactionResult() const { return posData.text().substr(25, 3); }
    std::string traced() const {
        return kvl::test::fileExists(trace) ? kvl::test::readFile(trace) : "";
    }

    kvl::test::TempFolder folder;
    std::string trace = folder.file("trace");
    Image posData{"", 4267, '\0'};
};

struct Fault {
    const char* name;
    std::vector<std::string> options;
    short result;
    int charges;
    bool unverified;          // the library could not find out, and says so
    bool unconfirmed = false; // the terminal never had its answer acknowledged
};

class LibraryAgainstSimulator : public Library, public ::testing::WithParamInterface<Fault> {};

// Whatever breaks once the terminal has the request, the library finds out.
TEST_P(LibraryAgainstSimulator, GivesTheTerminalsOutcome) {
    std::vector<std::string> options{"--ack-timeout", "300"};
    options.insert(options.end(), GetParam().options.begin(), GetParam().options.end());
    Simulator simulator({}, Simulator::Line::Tcp, options);
    if (GetParam().charges < 0) { // the terminal is gone
        simulator.stop();
    }
    EXPECT_EQ(GetParam().result, call(std::to_string(simulator.port())));
    if (GetParam().result == Result::Ok) {
        EXPECT_EQ("00 ", transactionResult());
    } else { // nothing but the unsupported answer's own record is copied back
        EXPECT_EQ(std::string::npos, posData.text().find_first_not_of('\0'));
    }
    EXPECT_EQ(GetParam().unverified, traced().find(" unverified") != std::string::npos) << traced();
    if (GetParam().charges >= 0) {
        simulator.stop();
        EXPECT_EQ(GetParam().charges, charges(simulator)) << simulator.log();
        EXPECT_EQ(GetParam().unconfirmed, simulator.logged({" result=unverified "}) == 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tcp, LibraryAgainstSimulator,
    ::testing::Values(
        Fault{"ClosedPort", {}, Result::ComError, -1, false},
        Fault{"Unsupported", {"--unsupported", "Payment"}, Result::NotSupported, 0, false},
        Fault{"LongWithProgress", {"--delay", "1500", "--progress", "5"}, Result::Ok, 1, false},
        Fault{"DropBeforeAck", {"--drop", "before-ack"}, Result::ComError, 0, false},
        Fault{"DropAfterAnswer", {"--drop", "after-answer"}, Result::Ok, 1, false, true},
        Fault{"Forgotten", {"--forget"}, Result::ComError, 0, false},
        Fault{"Mute", {"--mute"}, Result::Timeout, 0, true},
        Fault{"NakFirstThenServed", {"--nak"}, Result::Ok, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A terminal on loopback TCP answering each frame of the library by a script.
class ScriptedTerminal {
public:
    using Script = std::function<std::string(const protocol::Frame&)>;

    explicit ScriptedTerminal(Script script) : script_(std::move(script)) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port = std::to_string(ntohs(address.sin_port));
        thread_ = std::thread([this] { serve(); });
    }
    ~ScriptedTerminal() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    int count(bool (*kind)(protocol::FrameType)) const {
        return static_cast<int>(std::count_if(received.begin(), received.end(),
                                              [&](const auto& frame) { return kind(frame.type); }));
    }

    std::string port;
    std::vector<protocol::Frame> received; // every frame of the library, in order

private:
    void serve() {
        for (int connection; (connection = ::accept(listener_, nullptr, nullptr)) >= 0;) {
            const timeval limit{5, 0};
            ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
            protocol::Decoder decoder;
            char bytes[8192];
            for (ssize_t got; (got = ::read(connection, bytes, sizeof bytes)) > 0;) {
                decoder.feed(bytes, static_cast<std::size_t>(got));
                while (auto event = decoder.next()) {
                    if (event->kind != protocol::Decoder::Event::FrameReady)
                        continue;
                    received.push_back(event->frame);
                    const std::string out = script_(event->frame);
                    ::send(connection, out.data(), out.size(), MSG_NOSIGNAL);
                }
            }
            ::close(connection);
        }
    }

    Script script_;
    int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::thread thread_;
};

// No terminal gives garbage for every send of the request: a peer that does.
TEST_F(Library, GarbageForEveryRequestIsAProtocolError) {
    ScriptedTerminal peer([](const protocol::Frame&) { return std::string("+++ATH0\r\n"); });
    EXPECT_EQ(Result::ProtocolError, call(peer.port));
    EXPECT_EQ(3, peer.count(protocol::isRequest));
}

// Replies that name another request, or do not have the length they must,
// are never taken for the answer of the request in hand.
TEST_F(Library, AnswersAndRepliesForAnotherRequestAreNeverTaken) {
    using protocol::FrameType;
    ScriptedTerminal terminal([&](const protocol::Frame& frame) -> std::string {
        const std::string given(protocol::PosDataSize, '\0'), posData(protocol::PosDataSize, 'X');
        const auto other = [&](FrameType type, std::string payload) {
            return protocol::encode(protocol::Frame{type, frame.seq, std::move(payload)});
        };
        if (protocol::isRequest(frame.type)) {
            const auto id = protocol::splitRequestPayload(frame.payload)->id;
            return protocol::encode(protocol::ackFrame(frame.seq)) +
                   other(FrameType::Answer,
                         protocol::buildAnswerPayload(id + 1, 0, posData, given));
        }
        if (frame.type == FrameType::Enquiry) {
            const auto id = *protocol::splitIdPayload(frame.payload);
            return other(FrameType::Unknown, protocol::idPayload(id + 1)) +
                   other(FrameType::Unknown, protocol::idPayload(id).substr(1)) +
                   other(FrameType::Running, protocol::idPayload(id + 1)) +
                   other(FrameType::Answer, protocol::idPayload(id) + "\x00\x3F\xFF\xFF");
        }
        return {};
    });
    EXPECT_EQ(Result::Timeout, call(terminal.port));
    EXPECT_EQ(std::string::npos, posData.text().find_first_not_of('\0')) << "POSDATA untouched";
    EXPECT_GT(terminal.count([](FrameType type) { return type == FrameType::Enquiry; }), 0)
        << "the lost answer was asked for";
    EXPECT_GT(terminal.count([](FrameType type) { return type == FrameType::Nak; }), 0)
        << "the broken answer was refused";
    EXPECT_NE(std::string::npos, traced().find(" unverified"));
}

// The status operation needs no card: a terminal that takes it and says no
// more is given up within the status time-out's bound, not the payment's.
TEST_F(Library, AStatusGivesUpWithinItsOwnTimeout) {
    Simulator simulator({}, Simulator::Line::Tcp, {"--mute"});
    ::setenv("IAE17_ANSWER_TIMEOUT_MS", "5000", 1);
    ::setenv("IAE17_RECOVERY_MS", "5000", 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Result::Timeout, call(std::to_string(simulator.port()), "IAE17AX_Status"));
    // Connect, three sends, ten status time-outs and one more to recover.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms + 3 * 300ms + 11 * 600ms);
}

// A 9600-baud line carries a payment's answer in about 0.3 s, longer than the
// ACK and answer time-outs: neither side may count that time against the
// other. The device is opened anew for each call: the ACK that ended one must
// still reach the terminal. Pseudo-terminals take a request for 7 data bits or
// parity and stay at 8N1: the library must refuse, not go on.
TEST_F(Library, ASerialLineAtItsSettingsCountsItsTimeAgainstNeitherSide) {
    Simulator simulator({}, Simulator::Line::Pty, {"--ack-timeout", "100", "--baud", "9600"});
    ::setenv("IAE17_ACK_TIMEOUT_MS", "100", 1);
    ::setenv("IAE17_ANSWER_TIMEOUT_MS", "100", 1);
    iae17::test::LineRelay line(simulator.device(), 9600);
    ::setenv("IAE17_COM1", line.path().c_str(), 1);
    for (const char* codes : {"4 0 0 0 ", "4 1 1 0 ", "4 1 2 0 "})
        EXPECT_EQ(Result::ComError, callSerial(codes)) << codes;
    EXPECT_EQ(Result::Ok, callSerial("4 1 0 0 "));
    EXPECT_EQ("00 ", transactionResult());
    EXPECT_EQ(Result::Ok, callSerial("4 1 0 0 ", "IAE17AX_Status"));
    EXPECT_EQ(Result::Ok, callSerial("4 1 0 0 "));
    // The last ACK of a call may still be on its way when the call returns.
    kvl::test::waitUntil([&] { return simulator.logged({" end=acked"}) == 3; }, 5s);
    simulator.stop();
    EXPECT_EQ(2, charges(simulator));
    EXPECT_EQ(3, simulator.logged({" end=acked"})) << simulator.log();
    EXPECT_EQ(0, simulator.logged({" Enquiry "})) << "no exchange broke";
    EXPECT_EQ(std::string::npos, traced().find("not acknowledged"));
}

} // namespace
} // namespace iae17
