#pragma once

#include "library/Exchange.h"

#include <string>

namespace iae17 {

// The library's own settings, read from the environment at each operation:
//   IAE17_CONNECT_TIMEOUT_MS  TCP connect time-out (3000)
//   IAE17_ACK_TIMEOUT_MS      wait for an ACK (2000)
//   IAE17_ANSWER_TIMEOUT_MS   wait for the answer, restarted by PROGRESS (30000)
//   IAE17_COM<n>              device of COMn (/dev/ttyS<n-1>)
//   IAE17_TRACE               file the frames are appended to (none)
// A time-out that is not a whole number of milliseconds from 1 to 86400000
// keeps its default.
struct Settings {
    Milliseconds connectTimeout{3000};
    ExchangeTimeouts exchange;
    std::string tracePath;

    static Settings fromEnvironment();
};

// The device that "COMn" opens.
std::string serialDevice(unsigned comNumber);

} // namespace iae17
