#include "LoadedLibrary.h"

#include "FrameLink.h"
#include "library/Exchange.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace iae17::test {
namespace {

using namespace std::chrono_literals;

// A pseudo-terminal pair: the library opens the slave as COM1, the fake
// terminal answers on the master.
class SerialLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(0, ::grantpt(master_));
        ASSERT_EQ(0, ::unlockpt(master_));
        slavePath_ = ::ptsname(master_);
        // Held open so the master never sees the line hang up between calls.
        slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(slave_, 0);
        termios raw{};
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
        ::setenv("IAE17_COM1", slavePath_.c_str(), 1);
        ::setenv("IAE17_ACK_TIMEOUT_MS", "300", 1);
        ::setenv("IAE17_ANSWER_TIMEOUT_MS", "600", 1);
    }

    void TearDown() override {
        if (terminal_.joinable()) {
            terminal_.join();
        }
        ::close(slave_);
        ::close(master_);
        for (const char* name : {"IAE17_COM1", "IAE17_ACK_TIMEOUT_MS", "IAE17_ANSWER_TIMEOUT_MS"}) {
            ::unsetenv(name);
        }
    }

    void answerOnce(const std::string& posData) {
        if (terminal_.joinable()) {
            terminal_.join();
        }
        terminal_ = std::thread([this, posData] {
            FrameLink link(master_, requests_);
            const auto request = link.receive(2s);
            if (request) {
                lastSeq_ = request->seq;
                link.send(protocol::ackFrame(request->seq));
                link.send(answerFrame(request->seq, 0, posData));
                link.receive(2s);
            }
        });
    }

    // InitRS232 with a record as the bridge builds it, then Status.
    short status(const std::string& record) {
        std::string rs232 = record;
        rs232.resize(14, ' ');
        lib.initRs232(rs232.data());
        return lib.status(posRequest_.data(), posData_.data());
    }

    std::string answer() const { return posData_.substr(0, 6); }

    const LoadedLibrary& lib = LoadedLibrary::get();
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::thread terminal_;
    std::atomic<int> requests_{0};
    std::atomic<int> lastSeq_{-1};
    std::string posRequest_ = std::string(protocol::PosRequestSize, ' ');
    std::string posData_ = std::string(protocol::PosDataSize, '\0');
};

TEST_F(SerialLibrary, StatusAt9600EightNoneOne) {
    answerOnce("SERIAL");
    EXPECT_EQ(Result::Ok, status("COM1  4 1 0 0 "));
    EXPECT_EQ("SERIAL", answer());
    EXPECT_EQ(1, requests_);
}

TEST_F(SerialLibrary, TwoStopBitsAreTakenByThePty) {
    answerOnce("STOP2 ");
    EXPECT_EQ(Result::Ok, status("COM1  5 1 0 1 "));
    termios line{};
    ASSERT_EQ(0, ::tcgetattr(slave_, &line));
    EXPECT_NE(0u, line.c_cflag & CSTOPB);
    EXPECT_EQ(B19200, ::cfgetospeed(&line));
}

// Linux pseudo-terminals accept a request for 7 data bits or parity and stay
// at 8 data bits without parity; the library must not go on with those.
struct Refused {
    const char* name;
    const char* record;
};

class SerialLineRefused : public SerialLibrary, public ::testing::WithParamInterface<Refused> {};

TEST_P(SerialLineRefused, IsACommunicationErrorAndNothingIsSent) {
    EXPECT_EQ(Result::ComError, status(GetParam().record));
    FrameLink link(master_, requests_);
    EXPECT_FALSE(link.receive(50ms).has_value());
    EXPECT_EQ(0, requests_);
}

INSTANTIATE_TEST_SUITE_P(Pty, SerialLineRefused,
                         ::testing::Values(Refused{"SevenDataBits", "COM1  4 0 0 0 "},
                                           Refused{"OddParity", "COM1  4 1 1 0 "},
                                           Refused{"EvenParity", "COM1  4 1 2 0 "},
                                           Refused{"InvalidBaudCode", "COM1  7 1 0 0 "}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialLibrary, MissingDeviceIsACommunicationError) {
    ::setenv("IAE17_COM2", "/dev/no-such-serial-device", 1);
    EXPECT_EQ(Result::ComError, status("COM2  4 1 0 0 "));
    ::unsetenv("IAE17_COM2");
}

TEST_F(SerialLibrary, StaleBytesOnTheLineAreDiscarded) {
    answerOnce("FIRST!");
    ASSERT_EQ(Result::Ok, status("COM1  4 1 0 0 "));
    terminal_.join();
    // Left on the line from earlier: an ANSWER carrying the seq the next
    // request will have. Taken for the answer it would end the call at once.
    const auto next = static_cast<std::uint8_t>(lastSeq_ + 1);
    const std::string stale = protocol::encode(answerFrame(next, 0, "STALE!"));
    ASSERT_EQ(static_cast<ssize_t>(stale.size()), ::write(master_, stale.data(), stale.size()));
    answerOnce("FRESH!");
    EXPECT_EQ(Result::Ok, status("COM1  4 1 0 0 "));
    EXPECT_EQ("FRESH!", answer());
    EXPECT_EQ(2, requests_);
}

} // namespace
} // namespace iae17::test
