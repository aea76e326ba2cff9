#include "LoadedLibrary.h"

#include "library/Exchange.h"
#include "protocol/Frame.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace iae17::test {
namespace {

using namespace std::chrono_literals;

// POSDATA fields the simulator fills.
std::string field(const std::string& posData, std::size_t offset, std::size_t width) {
    return posData.substr(offset, width);
}
std::string transactionResult(const std::string& posData) {
    return field(posData, 25, 3);
}
std::string stan(const std::string& posData) {
    return field(posData, 55, 7);
}

// The real terminal-sim, started for one test with the faults given.
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
        if (pty) {
            device_ = ready->substr(4);
        } else {
            port_ = std::stoi(ready->substr(ready->rfind(':') + 1));
        }
    }
    ~Simulator() { stop(); }

    // Its log line of an exchange is written once the exchange is over, which
    // may be after the library returned: stop it before reading the log.
    void stop() {
        if (process_->running()) {
            process_->signal(SIGTERM);
            process_->wait(5s);
        }
    }

    int port() const { return port_; }
    const std::string& device() const { return device_; }
    // Exchange lines of the log naming the operation, after stop().
    int exchanges(const std::string& operation) const {
        std::istringstream log(process_->output());
        int count = 0;
        for (std::string line; std::getline(log, line);) {
            count += line.find(" " + operation + " seq=") != std::string::npos ? 1 : 0;
        }
        return count;
    }
    // Exchange lines that ended with the library's ACK of the answer, after stop().
    int acknowledged() const {
        std::istringstream log(process_->output());
        int count = 0;
        for (std::string line; std::getline(log, line);) {
            count += line.find(" end=acked") != std::string::npos ? 1 : 0;
        }
        return count;
    }

private:
    std::unique_ptr<kvl::test::ChildProcess> process_;
    int port_ = 0;
    std::string device_;
};

class SimulatorLibrary : public ::testing::Test {
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

    short pay(const Simulator& simulator, const std::string& cents = "000001250") {
        std::string request = cents;
        request.resize(protocol::PosRequestSize, ' ');
        return call(simulator, lib.payment, request);
    }

    short call(const Simulator& simulator, LoadedLibrary::Operation operation,
               std::string request) {
        std::string ethInit = ethInitImage(simulator.port());
        lib.initEth(ethInit.data());
        return operation(request.data(), posData.data());
    }

    const LoadedLibrary& lib = LoadedLibrary::get();
    std::string posData = std::string(protocol::PosDataSize, '\0');
};

TEST_F(SimulatorLibrary, PaymentIsApproved) {
    Simulator simulator({});
    EXPECT_EQ(Result::Ok, pay(simulator));
    EXPECT_EQ("12345678 ", field(posData, 0, 9));
    EXPECT_EQ("00 ", transactionResult(posData));
    simulator.stop();
    EXPECT_EQ(1, simulator.exchanges("Payment"));
}

TEST_F(SimulatorLibrary, VoidOfThePaymentJustMadeThenAgain) {
    Simulator simulator({});
    ASSERT_EQ(Result::Ok, pay(simulator));
    const std::string paid = stan(posData);
    // As the bridge does before a void: the STAN to void goes into POSDATA,
    // which travels with the request.
    const std::string blank(protocol::PosRequestSize, ' ');
    posData.replace(55, 7, paid);
    EXPECT_EQ(Result::Ok, call(simulator, lib.voidOperation, blank));
    EXPECT_EQ("00 ", transactionResult(posData));
    posData.replace(55, 7, paid);
    EXPECT_EQ(Result::Ok, call(simulator, lib.voidOperation, blank));
    EXPECT_EQ("94 ", transactionResult(posData));
}

struct Fault {
    const char* name;
    std::vector<std::string> options;
    short result;
    int payments; // exchanges the simulator logs
};

class SimulatorFault : public SimulatorLibrary, public ::testing::WithParamInterface<Fault> {};

TEST_P(SimulatorFault, GivesTheResultCode) {
    Simulator simulator(GetParam().options);
    EXPECT_EQ(GetParam().result, pay(simulator));
    simulator.stop();
    EXPECT_EQ(GetParam().payments, simulator.exchanges("Payment"));
}

INSTANTIATE_TEST_SUITE_P(
    Simulator, SimulatorFault,
    ::testing::Values(
        Fault{"Unsupported", {"--unsupported", "Payment"}, Result::NotSupported, 1},
        Fault{"NoAnswer", {"--timeout"}, Result::Timeout, 1},
        Fault{"NakFirst", {"--nak"}, Result::Ok, 1},
        Fault{"OneBadCrc", {"--badcrc", "1"}, Result::Ok, 1},
        Fault{"TwoBadCrc", {"--badcrc", "2"}, Result::Ok, 1},
        Fault{"ThreeBadCrc", {"--badcrc", "3"}, Result::ProtocolError, 1},
        Fault{"DropAfterAck", {"--drop", "after-ack"}, Result::ComError, 1},
        Fault{"DropAfterAnswer", {"--drop", "after-answer"}, Result::Ok, 1},
        Fault{"LongWithProgress", {"--delay", "1000", "--progress", "4"}, Result::Ok, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorLibrary, StatusOverAPseudoTerminal) {
    Simulator simulator({}, true);
    ::setenv("IAE17_COM1", simulator.device().c_str(), 1);
    std::string rs232 = "COM1  4 1 0 0 ";
    lib.initRs232(rs232.data());
    std::string request(protocol::PosRequestSize, ' ');
    EXPECT_EQ(Result::Ok, lib.status(request.data(), posData.data()));
    EXPECT_EQ("12345678 ", field(posData, 0, 9));
    // The device is opened anew for the next operation: the ACK that ended the
    // first exchange must still reach the terminal.
    lib.initRs232(rs232.data());
    EXPECT_EQ(Result::Ok, lib.status(request.data(), posData.data()));
    simulator.stop();
    EXPECT_EQ(2, simulator.acknowledged()) << "the answer's ACK was lost on reopening";
}

} // namespace
} // namespace iae17::test
