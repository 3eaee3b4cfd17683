#include "settings/MulDiv.h"

#include <limits>

namespace tessaly {

std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) {
    if (denominator == 0) {
        return -1;
    }
    // Both magnitudes are at most 2^31, so the product and its negation fit in 64 bits.
    std::int64_t product = std::int64_t{number} * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const std::int64_t half = divisor / 2;
    const std::int64_t result = (product >= 0 ? product + half : product - half) / divisor;
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    if (result > kLimit || result < -kLimit) {
        return -1;
    }
    return static_cast<std::int32_t>(result);
}

}  // namespace tessaly
