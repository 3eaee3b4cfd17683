#pragma once

#include <chrono>
#include <stop_token>

namespace tessaly {

// Sleeps for duration (not at all when it is not positive) or until a stop is requested, whichever comes
// first; true when the whole duration passed without a stop request.
bool SleepUnlessStopped(std::stop_token stop, std::chrono::milliseconds duration);

}  // namespace tessaly
