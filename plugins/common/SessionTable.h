#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace tessaly {

// The sessions of one loaded copy of a plug-in, by handle. Lookups hand out shared ownership, so that a
// Detach from one thread cannot pull a session away from a transfer running on another.
template <typename Session>
class SessionTable {
  public:
    // More than a host ever needs; a caller attaching without end is refused rather than fed memory.
    static constexpr std::size_t kMaxSessions = 64;

    // Handles count up from 1 and are not reused while the library stays loaded, so that a stale handle
    // finds nothing; 0 means "no session" and is also the answer when kMaxSessions are open.
    std::uint32_t Add(std::shared_ptr<Session> session) {
        const std::lock_guard lock(mutex_);
        if (session == nullptr || sessions_.size() >= kMaxSessions) {
            return 0;
        }
        do {
            ++lastHandle_;
        } while (lastHandle_ == 0 || sessions_.contains(lastHandle_));
        sessions_.emplace(lastHandle_, std::move(session));
        return lastHandle_;
    }

    // Null for an unknown handle.
    std::shared_ptr<Session> Find(std::uint32_t handle) const {
        const std::lock_guard lock(mutex_);
        const auto found = sessions_.find(handle);
        return found == sessions_.end() ? nullptr : found->second;
    }

    // The removed session; null for an unknown handle.
    std::shared_ptr<Session> Remove(std::uint32_t handle) {
        const std::lock_guard lock(mutex_);
        const auto found = sessions_.find(handle);
        if (found == sessions_.end()) {
            return nullptr;
        }
        std::shared_ptr<Session> session = std::move(found->second);
        sessions_.erase(found);
        return session;
    }

  private:
    mutable std::mutex mutex_;
    std::map<std::uint32_t, std::shared_ptr<Session>> sessions_;
    std::uint32_t lastHandle_ = 0;
};

// The table of one loaded copy of the library: a function-local static, created on first use. A copy
// loaded under another name has its own.
template <typename Session>
SessionTable<Session>& Sessions() {
    static SessionTable<Session> table;
    return table;
}

}  // namespace tessaly
