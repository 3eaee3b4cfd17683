#pragma once

#include <cstdint>
#include <string>

namespace tessaly {

inline constexpr std::uint32_t kHexDumpBytesPerLine = 16;

// Bytes as lines of at most 16: the device address of the line's first byte as (at least) four hex
// digits and a colon, then each byte as two hex digits after a blank.
//   0000: 54 53 FF 01 ...
std::string FormatHexDump(std::uint32_t firstAddress, const std::uint8_t* bytes, std::uint32_t count);

}  // namespace tessaly
