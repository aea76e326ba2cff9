#pragma once

#include <cstdint>
#include <windows.h>

namespace kvl {

// A FILETIME (100-nanosecond steps since 1601) as the program counts calendar
// time: nanoseconds since 1970.
inline std::int64_t unixNanosecondsOf(const FILETIME& time) {
    constexpr std::int64_t StepsFrom1601To1970 = 116444736000000000;
    const std::uint64_t steps =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (static_cast<std::int64_t>(steps) - StepsFrom1601To1970) * 100;
}

} // namespace kvl
