#pragma once

#include "library/Exchange.h"

#include <string>

namespace iae17 {

// One operation from the request to its outcome, over as many connections as
// it takes. When the exchange breaks while the terminal may hold the request
// (connection lost, no answer in time, damaged answers), the call connects
// again and asks what became of it, until the recovery time-out has passed:
// the answer, if there is one, is returned as if it had arrived in the first
// place; a terminal that never took the request, or cannot be reached, leaves
// the failure of the first break.
class Call {
public:
    Call(Connector& connector, const Clock& clock, Milliseconds connectTimeout,
         ExchangeTimeouts timeouts, Trace& trace);

    // On a terminal answer of 0 or 4 `posData` receives its POSDATA image.
    short run(const Request& request, std::string& posData);

private:
    // The request and its answer over the first connection; `cap` receives
    // the time beyond which no answer is waited for.
    Step exchange(const Request& request, std::string& posData, TimePoint& cap);
    short recover(const Request& request, short failure, TimePoint cap, std::string& posData);

    Connector& connector_;
    const Clock& clock_;
    Milliseconds connectTimeout_;
    ExchangeTimeouts timeouts_;
    Trace& trace_;
};

} // namespace iae17
