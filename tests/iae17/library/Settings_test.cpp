#include "library/Settings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace iae17 {
namespace {

// Sets a variable for the life of the test and restores it after.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value, 1);
    }
    ~ScopedVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(Settings, ReadsTimeoutsAndTraceFromTheEnvironment) {
    ScopedVariable connect("IAE17_CONNECT_TIMEOUT_MS", "150");
    ScopedVariable ack("IAE17_ACK_TIMEOUT_MS", "250");
    ScopedVariable answer("IAE17_ANSWER_TIMEOUT_MS", "4000");
    ScopedVariable trace("IAE17_TRACE", "/tmp/trace.txt");
    const Settings settings = Settings::fromEnvironment();
    EXPECT_EQ(Milliseconds(150), settings.connectTimeout);
    EXPECT_EQ(Milliseconds(250), settings.exchange.ack);
    EXPECT_EQ(Milliseconds(4000), settings.exchange.answer);
    EXPECT_EQ("/tmp/trace.txt", settings.tracePath);
}

TEST(Settings, UnusableTimeoutsKeepTheirDefaults) {
    for (const char* value : {"", "0", "-5", "abc", "12ms", "99999999999999999999", "86400001"}) {
        ScopedVariable ack("IAE17_ACK_TIMEOUT_MS", value);
        EXPECT_EQ(Milliseconds(2000), Settings::fromEnvironment().exchange.ack) << value;
    }
}

TEST(SerialDevice, ComesFromTheEnvironmentOrTheLinuxName) {
    ScopedVariable com3("IAE17_COM3", "/dev/pts/7");
    EXPECT_EQ("/dev/pts/7", serialDevice(3));
    EXPECT_EQ("/dev/ttyS0", serialDevice(1));
    EXPECT_EQ("/dev/ttyS19", serialDevice(20));
}

} // namespace
} // namespace iae17
