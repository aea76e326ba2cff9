#pragma once

#include "platform/EventLoop.h"

namespace kvl {

// Waits in slices of 50 ms, letting pending events run after each slice: the
// milliseconds are rounded to a whole number and divided by 50, remainder
// dropped, so 49 waits not at all and 120 waits 100 ms. Returns false, at
// once, when the program is ending (an event during the wait asked to quit):
// the caller then stops.
bool SleepDelay(EventLoop& events, float milliseconds);

// How many 50 ms slices SleepDelay waits for the milliseconds given.
int sleepDelaySlices(float milliseconds);

} // namespace kvl
