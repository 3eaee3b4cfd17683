#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/ItemRecords.h"

namespace tessaly {

// The algorithm names a CRC entry may give, in CrcAlgorithm order.
inline constexpr std::string_view kCrcAlgorithmNames[kCrcAlgorithmCount] = {
    "CRC8", "CRC16-CCITT", "CRC16-XMODEM", "CRC16-ARC", "CRC32", "SUM8-NEG", "SUM8",
};

// The algorithm whose name equals text ignoring case (ASCII); false when none does.
bool FindCrcAlgorithm(std::string_view text, CrcAlgorithm& algorithm);

// The check value of size bytes at data, in the low bits of the result (8, 16 or 32 of them):
// CRC8 poly 0x07, init 0; CRC16-CCITT poly 0x1021, init 0xFFFF; CRC16-XMODEM poly 0x1021, init 0;
// CRC16-ARC poly 0x8005 reflected, init 0; CRC32 poly 0x04C11DB7 reflected, init and final XOR 0xFFFFFFFF;
// SUM8-NEG the byte that makes the 8-bit sum of data and itself 0; SUM8 the low byte of the plain sum.
std::uint32_t ComputeCrc(CrcAlgorithm algorithm, const std::uint8_t* data, std::size_t size);

}  // namespace tessaly
