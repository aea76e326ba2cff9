// libiae17.so loaded with dlopen and called as the bridge calls it, against
// the real terminal-sim over loopback TCP and a pseudo-terminal.
#include "library/Exchange.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
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

// The real terminal-sim, started for one test with the options given.
class Simulator : public kvl::test::ChildProcess {
public:
    explicit Simulator(const std::vector<std::string>& options)
        : ChildProcess(TERMINAL_SIM_PATH, options) {
        const auto ready = waitForLine("", 5s); // "pty DEVICE" or "listening tcp HOST:PORT"
        if (!ready) {
            throw std::runtime_error("terminal-sim did not start: " + errors());
        }
        endpoint = ready->substr(ready->find_last_of(" :") + 1);
    }
    // Its log line of an exchange is written once the exchange is over, which
    // may be after the library returned: stop it before reading the log.
    void stop() {
        signal(SIGTERM);
        EXPECT_EQ(0, wait(5s));
    }
    // Times the log holds the text, after stop().
    int logged(const std::string& text) const {
        const std::string log = output();
        int count = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

    std::string endpoint; // the TCP port or the pseudo-terminal's device
};

class Library : public ::testing::Test {
protected:
    // The bridge's calls: the 22-byte Ethernet or 14-byte serial init record,
    // then the operation with the 219-byte request and the 4267-byte POSDATA.
    short call(const std::string& port) {
        return call("IAE17AX_InitEth", Image("127.0.0.1       " + port, 22), "IAE17AX_Payment");
    }
    short callSerial(const std::string& codes, const char* operation = "IAE17AX_Payment") {
        return call("IAE17AX_InitRS232", Image("COM1  " + codes, 14), operation);
    }
    short call(const char* initName, Image init, const char* operation) {
        static void* const library = ::dlopen(IAE17_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            throw std::runtime_error(::dlerror());
        }
        ::setenv("IAE17_ACK_TIMEOUT_MS", "300", 1);
        ::setenv("IAE17_ANSWER_TIMEOUT_MS", "600", 1);
        Image request("000001250CASSA01", 219);
        reinterpret_cast<short (*)(char*)>(::dlsym(library, initName))(init.data());
        const short result = reinterpret_cast<short (*)(char*, char*)>(::dlsym(library, operation))(
            request.data(), posData.data());
        EXPECT_TRUE(init.guarded() && request.guarded() && posData.guarded());
        return result;
    }
    std::string transactionResult() const { return posData.text().substr(25, 3); }

    Image posData{"", 4267, '\0'};
};

struct Fault {
    const char* name;
    std::vector<std::string> options;
    short result;
    int payments; // exchanges the simulator logs; a request once ACKed is never sent again
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

class LibraryAgainstSimulator : public Library, public ::testing::WithParamInterface<Fault> {};

TEST_P(LibraryAgainstSimulator, GivesTheResultCode) {
    std::vector<std::string> options{"--tcp", "127.0.0.1:0", "--ack-timeout", "300"};
    options.insert(options.end(), GetParam().options.begin(), GetParam().options.end());
    Simulator simulator(options);
    if (GetParam().payments < 0) { // the terminal is gone
        simulator.stop();
    }
    EXPECT_EQ(GetParam().result, call(simulator.endpoint));
    if (GetParam().result == Result::Ok) {
        EXPECT_EQ("00 ", transactionResult());
    } else { // nothing but the unsupported answer's own record is copied back
        EXPECT_EQ(std::string::npos, posData.text().find_first_not_of('\0'));
    }
    if (GetParam().payments >= 0) {
        simulator.stop();
        EXPECT_EQ(GetParam().payments, simulator.logged(" Payment seq="));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tcp, LibraryAgainstSimulator,
    ::testing::Values(
        Fault{"Approved", {}, Result::Ok, 1}, Fault{"ClosedPort", {}, Result::ComError, -1},
        Fault{"Unsupported", {"--unsupported", "Payment"}, Result::NotSupported, 1},
        Fault{"LongWithoutProgress", {"--delay", "1500"}, Result::Timeout, 1},
        Fault{"LongWithProgress", {"--delay", "1500", "--progress", "5"}, Result::Ok, 1},
        Fault{"DropAfterAckNeverResent", {"--drop", "after-ack"}, Result::ComError, 1},
        Fault{"DropAfterAnswer", {"--drop", "after-answer"}, Result::Ok, 1},
        Fault{"NakFirstThenServed", {"--nak"}, Result::Ok, 1},
        Fault{"TwoBadCrc", {"--badcrc", "2"}, Result::Ok, 1},
        Fault{"ThreeBadCrc", {"--badcrc", "3"}, Result::ProtocolError, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// No terminal gives garbage for every send of the request: a peer that does.
TEST_F(Library, GarbageForEveryRequestIsAProtocolError) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    ASSERT_EQ(0, ::bind(listener, reinterpret_cast<sockaddr*>(&address), length));
    ASSERT_EQ(0, ::listen(listener, 1));
    ASSERT_EQ(0, ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length));
    std::thread peer([listener] {
        const int connection = ::accept(listener, nullptr, nullptr);
        char bytes[8192];
        while (::read(connection, bytes, sizeof bytes) > 0 &&
               ::write(connection, "+++ATH0\r\n", 9) > 0) {
        }
        ::close(connection);
    });
    EXPECT_EQ(Result::ProtocolError, call(std::to_string(ntohs(address.sin_port))));
    peer.join();
    ::close(listener);
}

// Linux pseudo-terminals accept a request for 7 data bits or parity and stay
// at 8 data bits without parity: the library must refuse, not go on.
TEST_F(Library, PaymentOverAPseudoTerminalOnlyAtTheLineAskedFor) {
    Simulator simulator({"--pty", "--ack-timeout", "300"});
    ::setenv("IAE17_COM1", simulator.endpoint.c_str(), 1);
    for (const char* codes : {"4 0 0 0 ", "4 1 1 0 ", "4 1 2 0 "}) {
        EXPECT_EQ(Result::ComError, callSerial(codes)) << codes;
    }
    EXPECT_EQ(Result::Ok, callSerial("4 1 0 0 ")); // 9600 8N1
    EXPECT_EQ("00 ", transactionResult());
    // The device is opened anew for each operation: the ACK that ended the
    // payment must still reach the terminal.
    EXPECT_EQ(Result::Ok, callSerial("4 1 0 0 ", "IAE17AX_Status"));
    simulator.stop();
    EXPECT_EQ(1, simulator.logged(" Payment seq="));
    EXPECT_EQ(2, simulator.logged(" end=acked")) << "an answer's ACK was lost on reopening";
}

} // namespace
} // namespace iae17
