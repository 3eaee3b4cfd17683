#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ItemRecords.h"

namespace tessaly {

// The algorithm names a CRC entry may give, in CrcAlgorithm order.
inline constexpr std::string_view kCrcAlgorithmNames[kCrcAlgorithmCount] = {
    "CRC8", "CRC16-CCITT", "CRC16-XMODEM", "CRC16-ARC", "CRC32", "SUM8-NEG",
};

// The algorithm whose name equals text ignoring case (ASCII); false when none does.
bool FindCrcAlgorithm(std::string_view text, CrcAlgorithm& algorithm);

}  // namespace tessaly
