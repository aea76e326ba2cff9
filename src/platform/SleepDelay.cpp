#include "platform/SleepDelay.h"

#include <chrono>
#include <cmath>

namespace kvl {

namespace {
constexpr int sliceMilliseconds = 50;
// The count is a 16-bit number.
constexpr double maxSlices = 32767;
} // namespace

int sleepDelaySlices(float milliseconds) {
    // Negative or not a number: nothing to wait.
    if (!(milliseconds > 0))
        return 0;
    // Rounded half to even, as the platform rounds to a whole number.
    const double rounded = std::nearbyint(static_cast<double>(milliseconds));
    const double slices = std::floor(rounded / sliceMilliseconds);
    return static_cast<int>(slices < maxSlices ? slices : maxSlices);
}

bool SleepDelay(EventLoop& events, float milliseconds) {
    const int slices = sleepDelaySlices(milliseconds);
    for (int i = 0; i < slices && !events.quitRequested(); ++i) {
        events.sleep(std::chrono::milliseconds(sliceMilliseconds));
        events.processEvents();
    }
    return !events.quitRequested();
}

} // namespace kvl
