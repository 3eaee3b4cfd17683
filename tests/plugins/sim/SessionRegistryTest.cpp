#include "plugins/sim/SessionRegistry.h"

#include <gtest/gtest.h>

#include "plugins/sim/ChipMemory.h"

namespace tessaly {
namespace {

class NoMemory : public ChipMemory {
  public:
    bool Read(std::uint32_t, std::span<std::uint8_t>) override { return false; }
    bool Write(std::uint32_t, std::span<const std::uint8_t>) override { return false; }
};

std::shared_ptr<SimChip> NewChip() {
    return std::make_shared<SimChip>(*FindChipModel("24C02"), std::make_unique<NoMemory>(), SimSettings{});
}

TEST(SessionRegistry, HandlesAreNonZeroAndNotHandedOutAgainAtOnce) {
    SessionRegistry registry;
    const std::uint32_t first = registry.Add(NewChip());
    const std::uint32_t second = registry.Add(NewChip());
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    registry.Remove(second);
    EXPECT_NE(registry.Add(NewChip()), second);
}

TEST(SessionRegistry, FindsWhatWasAddedUntilItIsRemoved) {
    SessionRegistry registry;
    const std::shared_ptr<SimChip> chip = NewChip();
    const std::uint32_t handle = registry.Add(chip);
    EXPECT_EQ(registry.Find(handle), chip);
    EXPECT_EQ(registry.Find(handle + 1), nullptr);
    EXPECT_EQ(registry.Find(0), nullptr);
    EXPECT_EQ(registry.Remove(handle), chip);
    EXPECT_EQ(registry.Find(handle), nullptr);
    EXPECT_EQ(registry.Remove(handle), nullptr);
}

}  // namespace
}  // namespace tessaly
