#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "plugins/sim/SimChip.h"

namespace tessaly {

// The open sessions of one loaded copy of the plug-in, by handle. The host may call a session from its
// worker thread while the user-interface thread resets it, so the registry hands out shared ownership: a
// session detached during a transfer lives until that transfer has returned.
class SessionRegistry {
  public:
    // A handle that is not 0 and not in use.
    std::uint32_t Add(std::shared_ptr<SimChip> chip);
    // Null for an unknown handle.
    std::shared_ptr<SimChip> Find(std::uint32_t handle) const;
    // The removed session; null for an unknown handle.
    std::shared_ptr<SimChip> Remove(std::uint32_t handle);

  private:
    mutable std::mutex mutex_;
    std::map<std::uint32_t, std::shared_ptr<SimChip>> sessions_;
    std::uint32_t lastHandle_ = 0;
};

}  // namespace tessaly
