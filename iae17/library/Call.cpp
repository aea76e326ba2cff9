#include "library/Call.h"

#include <algorithm>
#include <thread>

namespace iae17 {

namespace {

// Between two attempts to reach a terminal that did not answer the last one.
constexpr Milliseconds RetryPause{200};

Milliseconds left(TimePoint deadline, TimePoint now) {
    return std::chrono::duration_cast<Milliseconds>(deadline - now);
}

} // namespace

Call::Call(Connector& connector, const Clock& clock, Milliseconds connectTimeout,
           ExchangeTimeouts timeouts, Trace& trace)
    : connector_(connector), clock_(clock), connectTimeout_(connectTimeout), timeouts_(timeouts),
      trace_(trace) {}

short Call::run(const Request& request, std::string& posData) {
    TimePoint cap{};
    const Step first = exchange(request, posData, cap);
    if (first.kind != Step::Broken) {
        return first.code;
    }
    // The first connection is closed by now: a terminal that serves one
    // connection at a time can take the next.
    return recover(request, first.code, cap, posData);
}

Step Call::exchange(const Request& request, std::string& posData, TimePoint& cap) {
    std::string why;
    const auto transport = connector_.open(connectTimeout_, why);
    if (!transport) {
        trace_.note(why);
        return Step{Step::Refused, Result::ComError};
    }
    Link link(*transport, clock_, timeouts_.ack, trace_);
    Exchange exchange(link, clock_, timeouts_, trace_, request);
    const Step sent = exchange.sendRequest();
    cap = clock_.now() + MaxAnswerTimeouts * timeouts_.answer;
    if (sent.kind != Step::Acked) {
        // Refused, or broken once the request went out (or part of it): the
        // terminal may have taken it then.
        return sent;
    }
    return exchange.awaitAnswer(cap, posData);
}

short Call::recover(const Request& request, short failure, TimePoint cap, std::string& posData) {
    TimePoint until = clock_.now() + timeouts_.recovery;
    trace_.note("asking what became of request " + protocol::idText(request.id));
    for (bool pause = false;; pause = true) {
        if (pause) {
            std::this_thread::sleep_for(std::min(RetryPause, left(until, clock_.now())));
        }
        const TimePoint now = clock_.now();
        if (now >= until) {
            break;
        }
        std::string why;
        const auto transport = connector_.open(std::min(connectTimeout_, left(until, now)), why);
        if (!transport) {
            trace_.note(why);
            continue;
        }
        Link link(*transport, clock_, timeouts_.ack, trace_);
        Exchange exchange(link, clock_, timeouts_, trace_, request);
        Step step = exchange.enquire(until, posData);
        if (step.kind == Step::Running) {
            step = exchange.awaitAnswer(cap, posData);
            // The terminal answered: the time to find out starts again, but
            // ends where the answer's own cap does.
            until = std::min(clock_.now() + timeouts_.recovery, cap + timeouts_.recovery);
        }
        switch (step.kind) {
        case Step::Answered:
            return step.code;
        case Step::Unknown:
            return failure;
        case Step::Refused:
            return step.code;
        case Step::Acked:
        case Step::Running:
        case Step::Broken:
            break;
        }
    }
    trace_.note("outcome of request " + protocol::idText(request.id) +
                " unverified: the terminal could not be asked");
    return failure;
}

} // namespace iae17
