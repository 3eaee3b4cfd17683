#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "plugins/i2cdev/Session.h"

namespace tessaly {

// The sessions of one loaded copy of the library by handle. Lookups hand out shared ownership, so that a
// Detach from one thread cannot pull a session away from a transfer running on another.
class SessionTable {
  public:
    // Handles count up from 1 and are not reused while the library stays loaded; 0 means "no session".
    // Returns 0 when kMaxSessions are open.
    std::uint32_t Add(std::shared_ptr<Session> session);
    std::shared_ptr<Session> Find(std::uint32_t handle) const;
    bool Remove(std::uint32_t handle);

    // More than a host ever needs; a caller attaching without end is refused rather than fed memory.
    static constexpr std::size_t kMaxSessions = 64;

  private:
    mutable std::mutex mutex_;
    std::map<std::uint32_t, std::shared_ptr<Session>> sessions_;
    std::uint32_t lastHandle_ = 0;
};

}  // namespace tessaly
