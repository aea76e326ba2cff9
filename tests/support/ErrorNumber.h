#pragma once

#include "platform/RunTimeError.h"

#include <functional>

namespace kvl::test {

// The run-time error number the action fails with, 0 when it succeeds.
inline int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunTimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace kvl::test
