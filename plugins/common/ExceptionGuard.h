#pragma once

#include <utility>

namespace tessaly {

// Runs body and turns anything it throws (an allocation that failed, a thread that could not start, the
// file system) into fallback, so that no exception crosses the C boundary of a plug-in.
template <typename Result, typename Body>
Result Guarded(Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return fallback;
    }
}

}  // namespace tessaly
