#pragma once

#include "library/Clock.h"

#include <asio.hpp>

#include <cstddef>
#include <optional>

namespace iae17 {

struct AsioOutcome {
    asio::error_code error;
    std::size_t bytes = 0;
};

// Runs one asynchronous operation on its own io_context with a time-out.
// start(handler) begins the operation; handler takes (error_code, size_t).
// When the time is up, cancel() aborts it and the aborted handler is run
// before returning nullopt, so nothing is left pending on the context.
template <typename Start, typename Cancel>
std::optional<AsioOutcome> runWithTimeout(asio::io_context& io, Milliseconds timeout, Start&& start,
                                          Cancel&& cancel) {
    bool done = false;
    AsioOutcome outcome;
    io.restart();
    start([&done, &outcome](const asio::error_code& error, std::size_t bytes) {
        done = true;
        outcome.error = error;
        outcome.bytes = bytes;
    });
    io.run_for(timeout);
    if (done) {
        return outcome;
    }
    cancel();
    io.restart();
    io.run();
    return std::nullopt;
}

} // namespace iae17
