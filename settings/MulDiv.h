#pragma once

#include <cstdint>

namespace tessaly {

// number * numerator / denominator, computed in 64 bits and rounded half away from zero, as the Windows
// function of that name does. Returns -1 when denominator is 0 or when the result lies outside
// -2147483647..2147483647; the range is symmetric so that negating a result is always defined.
std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator);

}  // namespace tessaly
