#include "engine/CrcAlgorithm.h"

#include "text/AsciiText.h"

namespace tessaly {

bool FindCrcAlgorithm(std::string_view text, CrcAlgorithm& algorithm) {
    for (std::uint8_t i = 0; i < kCrcAlgorithmCount; ++i) {
        if (EqualsIgnoreCase(text, kCrcAlgorithmNames[i])) {
            algorithm = static_cast<CrcAlgorithm>(i);
            return true;
        }
    }
    return false;
}

}  // namespace tessaly
