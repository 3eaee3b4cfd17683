#include "device/SleepUnlessStopped.h"

#include <condition_variable>
#include <mutex>

namespace tessaly {

bool SleepUnlessStopped(std::stop_token stop, std::chrono::milliseconds duration) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock<std::mutex> lock(mutex);
    // Nothing is ever notified: only the stop request (through the token's callback) ends the wait early.
    wake.wait_for(lock, stop, duration, [] { return false; });
    return !stop.stop_requested();
}

}  // namespace tessaly
