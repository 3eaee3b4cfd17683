#pragma once

#include <array>
#include <cstdint>

namespace tessaly {

inline constexpr std::uint32_t kItemMaskCapacity = 256;

// The bits one item occupies in its unit's images: count mask bytes for the image positions offset ..
// offset + count - 1. An item wider than the capacity has no mask, which keeps every mask operation a
// short loop over a fixed buffer.
struct ItemMask {
    std::uint32_t count = 0;
    std::uint32_t offset = 0;
    // Left unfilled: every builder writes the first count bytes and nothing reads past them.
    std::array<std::uint8_t, kItemMaskCapacity> bytes;
};

}  // namespace tessaly
