#include "library/Settings.h"

#include "library/FieldText.h"

#include <cstdlib>

namespace iae17 {

namespace {

constexpr long LongestWait = 24L * 60 * 60 * 1000;

Milliseconds timeoutFromEnvironment(const char* name, Milliseconds fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr) {
        return fallback;
    }
    const long value = fieldNumber(text, 1, LongestWait);
    return value < 0 ? fallback : Milliseconds(value);
}

} // namespace

Settings Settings::fromEnvironment() {
    Settings settings;
    settings.connectTimeout =
        timeoutFromEnvironment("IAE17_CONNECT_TIMEOUT_MS", settings.connectTimeout);
    settings.exchange.ack = timeoutFromEnvironment("IAE17_ACK_TIMEOUT_MS", settings.exchange.ack);
    settings.exchange.answer =
        timeoutFromEnvironment("IAE17_ANSWER_TIMEOUT_MS", settings.exchange.answer);
    settings.exchange.recovery =
        timeoutFromEnvironment("IAE17_RECOVERY_MS", settings.exchange.recovery);
    settings.statusTimeout =
        timeoutFromEnvironment("IAE17_STATUS_TIMEOUT_MS", settings.statusTimeout);
    if (const char* trace = std::getenv("IAE17_TRACE")) {
        settings.tracePath = trace;
    }
    return settings;
}

ExchangeTimeouts Settings::timeoutsFor(protocol::FrameType type) const {
    ExchangeTimeouts timeouts = exchange;
    if (type == protocol::FrameType::Status) {
        timeouts.answer = statusTimeout;
        timeouts.recovery = statusTimeout;
    }
    return timeouts;
}

std::string serialDevice(unsigned comNumber) {
    const std::string name = "IAE17_COM" + std::to_string(comNumber);
    const char* device = std::getenv(name.c_str());
    if (device != nullptr && *device != '\0') {
        return device;
    }
    return "/dev/ttyS" + std::to_string(comNumber == 0 ? 0 : comNumber - 1);
}

} // namespace iae17
