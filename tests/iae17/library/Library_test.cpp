// libiae17.so loaded with dlopen and called as the bridge calls it, against
// the real terminal-sim over loopback TCP and a pseudo-terminal.
#include "library/Exchange.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <memory>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace iae17 {
namespace {

using namespace std::chrono_literals;

template <class Function> Function entry(const char* name) {
    static void* const library = ::dlopen(IAE17_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        throw std::runtime_error(::dlerror());
    }
    return reinterpret_cast<Function>(::dlsym(library, name));
}

// A record image of its exact size between guard bytes that must stay intact.
class Image {
public:
    Image(std::string text, std::size_t size, char fill)
        : size_(size), bytes_(Guard + text.append(size - text.size(), fill) + Guard) {}
    char* data() { return bytes_.data() + Guard.size(); }
    std::string text() const { return bytes_.substr(Guard.size(), size_); }
    bool guarded() const {
        return bytes_.substr(0, Guard.size()) == Guard &&
               bytes_.substr(Guard.size() + size_) == Guard;
    }

private:
    inline static const std::string Guard = "#guard#";
    std::size_t size_;
    std::string bytes_;
};

// The real terminal-sim, started for one test with the options given.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> options, bool pty = false) {
        options.insert(options.end(), {"--ack-timeout", "300"});
        if (pty) {
            options.push_back("--pty");
        } else {
            options.insert(options.end(), {"--tcp", "127.0.0.1:0"});
        }
        process_ = std::make_unique<kvl::test::ChildProcess>(TERMINAL_SIM_PATH, options);
        const auto ready = process_->waitForLine(pty ? "pty " : "listening tcp ", 5s);
        if (!ready) {
            throw std::runtime_error("terminal-sim did not start: " + process_->errors());
        }
        endpoint = pty ? ready->substr(4) : ready->substr(ready->rfind(':') + 1);
    }
    // Its log line of an exchange is written once the exchange is over, which
    // may be after the library returned: stop it before reading the log.
    void stop() {
        process_->signal(SIGTERM);
        EXPECT_EQ(0, process_->wait(5s));
    }
    // Log lines holding the text, after stop().
    int logged(const std::string& text) const {
        std::istringstream log(process_->output());
        int count = 0;
        for (std::string line; std::getline(log, line);) {
            count += line.find(text) != std::string::npos ? 1 : 0;
        }
        return count;
    }
    int acknowledged() const { return logged(" end=acked"); }

    std::string endpoint; // the TCP port or the pseudo-terminal's device

private:
    std::unique_ptr<kvl::test::ChildProcess> process_;
};

class Library : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("IAE17_ACK_TIMEOUT_MS", "300", 1);
        ::setenv("IAE17_ANSWER_TIMEOUT_MS", "600", 1);
    }
    void TearDown() override {
        for (const char* name : {"IAE17_ACK_TIMEOUT_MS", "IAE17_ANSWER_TIMEOUT_MS", "IAE17_COM1"}) {
            ::unsetenv(name);
        }
    }

    // The bridge's calls: the 22-byte Ethernet or 14-byte serial init record,
    // then the operation with the 219-byte request and the 4267-byte POSDATA.
    short call(const std::string& port, const char* operation = "IAE17AX_Payment") {
        Image init("127.0.0.1       " + port, 22, ' ');
        return call("IAE17AX_InitEth", init, operation);
    }
    short callSerial(const std::string& codes, const char* operation = "IAE17AX_Payment") {
        Image init("COM1  " + codes, 14, ' ');
        return call("IAE17AX_InitRS232", init, operation);
    }
    short call(const char* initName, Image& init, const char* operation) {
        Image request("000001250CASSA01", 219, ' ');
        entry<short (*)(char*)>(initName)(init.data());
        const short result =
            entry<short (*)(char*, char*)>(operation)(request.data(), posData.data());
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
    int payments; // exchanges the simulator logs
};
void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

class LibraryAgainstSimulator : public Library, public ::testing::WithParamInterface<Fault> {};

TEST_P(LibraryAgainstSimulator, GivesTheResultCode) {
    Simulator simulator(GetParam().options);
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
        Fault{"SilenceAfterAck", {"--timeout"}, Result::Timeout, 1},
        Fault{"Unsupported", {"--unsupported", "Payment"}, Result::NotSupported, 1},
        Fault{"LongWithoutProgress", {"--delay", "1500"}, Result::Timeout, 1},
        Fault{"LongWithProgress", {"--delay", "1500", "--progress", "5"}, Result::Ok, 1},
        Fault{"DropAfterAckNeverResent", {"--drop", "after-ack"}, Result::ComError, 1},
        Fault{"DropAfterAnswer", {"--drop", "after-answer"}, Result::Ok, 1},
        Fault{"NakFirstThenServed", {"--nak"}, Result::Ok, 1},
        Fault{"OneBadCrc", {"--badcrc", "1"}, Result::Ok, 1},
        Fault{"TwoBadCrc", {"--badcrc", "2"}, Result::Ok, 1},
        Fault{"ThreeBadCrc", {"--badcrc", "3"}, Result::ProtocolError, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// No terminal gives garbage for every send of the request: a peer that does.
TEST_F(Library, GarbageForEveryRequestIsAProtocolError) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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
    Simulator simulator({}, true);
    ::setenv("IAE17_COM1", simulator.endpoint.c_str(), 1);
    for (const char* codes : {"4 0 0 0 ", "4 1 1 0 ", "4 1 2 0 "}) {
        EXPECT_EQ(Result::ComError, callSerial(codes)) << codes;
    }
    EXPECT_EQ(Result::Ok, callSerial("4 1 0 0 ")); // 9600 8N1
    EXPECT_EQ("00 ", transactionResult());
    simulator.stop();
    EXPECT_EQ(1, simulator.logged(" Payment seq="));
}

TEST_F(Library, StatusOverAPseudoTerminal) {
    Simulator simulator({}, true);
    ::setenv("IAE17_COM1", simulator.endpoint.c_str(), 1);
    EXPECT_EQ(Result::Ok, callSerial("4 1 0 0 ", "IAE17AX_Status"));
    EXPECT_EQ("12345678 ", posData.text().substr(0, 9));
    // The device is opened anew for the next operation: the ACK that ended the
    // first exchange must still reach the terminal.
    EXPECT_EQ(Result::Ok, callSerial("4 1 0 0 ", "IAE17AX_Status"));
    simulator.stop();
    EXPECT_EQ(2, simulator.acknowledged()) << "the answer's ACK was lost on reopening";
}

} // namespace
} // namespace iae17
