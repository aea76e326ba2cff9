#pragma once

#include "platform/RunTimeError.h"

namespace kvl {

// Runs one step of a procedure whose failing steps are skipped without a
// message. Returns false when the step failed.
template <class Step> bool skipOnFailure(Step&& step) {
    try {
        step();
        return true;
    } catch (const RunTimeError&) {
        return false;
    }
}

} // namespace kvl
