#pragma once

#include <string>

namespace sim {

// A moment of the wall clock as the terminal prints it.
struct LocalTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

LocalTime currentLocalTime();

// "YYYYMMDD"
std::string compactDate(const LocalTime& time);
// "DD/MM/YYYY"
std::string receiptDate(const LocalTime& time);
// "HH:MM"
std::string receiptTime(const LocalTime& time);
// "YYYY-MM-DD HH:MM:SS.mmm"
std::string logTimestamp(const LocalTime& time);

} // namespace sim
