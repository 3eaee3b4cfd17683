#include "plugins/i2cdev/SessionTable.h"

namespace tessaly {

std::uint32_t SessionTable::Add(std::shared_ptr<Session> session) {
    const std::lock_guard lock(mutex_);
    if (sessions_.size() >= kMaxSessions) {
        return 0;
    }
    do {
        ++lastHandle_;
    } while (lastHandle_ == 0 || sessions_.contains(lastHandle_));
    sessions_.emplace(lastHandle_, std::move(session));
    return lastHandle_;
}

std::shared_ptr<Session> SessionTable::Find(std::uint32_t handle) const {
    const std::lock_guard lock(mutex_);
    const auto found = sessions_.find(handle);
    return found == sessions_.end() ? nullptr : found->second;
}

bool SessionTable::Remove(std::uint32_t handle) {
    const std::lock_guard lock(mutex_);
    return sessions_.erase(handle) > 0;
}

}  // namespace tessaly
