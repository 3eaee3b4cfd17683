#include "plugins/sim/SessionRegistry.h"

namespace tessaly {

std::uint32_t SessionRegistry::Add(std::shared_ptr<SimChip> chip) {
    std::lock_guard lock(mutex_);
    // Handles are not reused at once, so that a stale handle the host still holds finds nothing.
    do {
        ++lastHandle_;
    } while (lastHandle_ == 0 || sessions_.contains(lastHandle_));
    sessions_.emplace(lastHandle_, std::move(chip));
    return lastHandle_;
}

std::shared_ptr<SimChip> SessionRegistry::Find(std::uint32_t handle) const {
    std::lock_guard lock(mutex_);
    const auto found = sessions_.find(handle);
    return found == sessions_.end() ? nullptr : found->second;
}

std::shared_ptr<SimChip> SessionRegistry::Remove(std::uint32_t handle) {
    std::lock_guard lock(mutex_);
    const auto found = sessions_.find(handle);
    if (found == sessions_.end()) {
        return nullptr;
    }
    std::shared_ptr<SimChip> chip = std::move(found->second);
    sessions_.erase(found);
    return chip;
}

}  // namespace tessaly
