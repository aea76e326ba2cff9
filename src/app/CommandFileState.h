#pragma once

#include "app/SettleRule.h"

#include <cstdint>

namespace kvl {

// What the handling of the command file keeps from one look to the next.
struct CommandFileState {
    SettleRule settle;
    // No look has been made since the start: a damaged journal makes the
    // file found now one of unknown outcome.
    bool firstLook = true;
    // The command whose failed result write has been reported.
    std::uint64_t reportedWriteFailure = 0;
};

} // namespace kvl
