#include "LocalTime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace sim {

LocalTime currentLocalTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    const auto sinceEpoch = now.time_since_epoch();
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
    LocalTime time;
    time.year = parts.tm_year + 1900;
    time.month = parts.tm_mon + 1;
    time.day = parts.tm_mday;
    time.hour = parts.tm_hour;
    time.minute = parts.tm_min;
    time.second = parts.tm_sec;
    time.millisecond = static_cast<int>(millis < 0 ? 0 : millis);
    return time;
}

std::string compactDate(const LocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d", time.year, time.month, time.day);
    return text;
}

std::string receiptDate(const LocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", time.day, time.month, time.year);
    return text;
}

std::string receiptTime(const LocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d", time.hour, time.minute);
    return text;
}

std::string logTimestamp(const LocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.millisecond);
    return text;
}

} // namespace sim
