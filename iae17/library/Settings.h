#pragma once

#include "library/Exchange.h"
#include "protocol/Frame.h"

#include <string>

namespace iae17 {

// The library's own settings, read from the environment at each operation:
//   IAE17_CONNECT_TIMEOUT_MS  TCP connect time-out (3000)
//   IAE17_ACK_TIMEOUT_MS      wait for an ACK (2000)
//   IAE17_ANSWER_TIMEOUT_MS   wait for the answer, restarted by PROGRESS (30000)
//   IAE17_STATUS_TIMEOUT_MS   the same for the status operation, and its
//                             recovery time-out (3000)
//   IAE17_RECOVERY_MS         how long a broken exchange is followed up (30000)
//   IAE17_COM<n>              device of COMn (/dev/ttyS<n-1>)
//   IAE17_TRACE               file the frames are appended to (none)
// A time-out that is not a whole number of milliseconds from 1 to 86400000
// keeps its default.
struct Settings {
    Milliseconds connectTimeout{3000};
    ExchangeTimeouts exchange;
    Milliseconds statusTimeout{3000};
    std::string tracePath;

    static Settings fromEnvironment();

    // The status operation needs no card: it waits for its answer, and for
    // news of a lost one, only the status time-out.
    ExchangeTimeouts timeoutsFor(protocol::FrameType type) const;
};

// The device that "COMn" opens.
std::string serialDevice(unsigned comNumber);

} // namespace iae17
