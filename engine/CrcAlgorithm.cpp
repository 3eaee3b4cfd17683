#include "engine/CrcAlgorithm.h"

#include "text/AsciiText.h"

namespace tessaly {
namespace {

// A CRC that shifts most significant bit first, width 8 to 32 bits.
std::uint32_t ShiftLeftCrc(std::uint32_t width, std::uint32_t poly, std::uint32_t init,
                           const std::uint8_t* data, std::size_t size) {
    const std::uint32_t top = 1u << (width - 1);
    const std::uint32_t keep = top | (top - 1);
    std::uint32_t crc = init;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint32_t>(data[i]) << (width - 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & top) != 0 ? (crc << 1) ^ poly : crc << 1;
        }
        crc &= keep;
    }
    return crc;
}

// A CRC with reflected input and output, which shifts least significant bit first with the reflected
// polynomial.
std::uint32_t ShiftRightCrc(std::uint32_t reflectedPoly, std::uint32_t init, const std::uint8_t* data,
                            std::size_t size) {
    std::uint32_t crc = init;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) != 0 ? (crc >> 1) ^ reflectedPoly : crc >> 1;
        }
    }
    return crc;
}

std::uint32_t Sum8(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        sum += data[i];
    }
    return sum & 0xFFu;
}

}  // namespace

bool FindCrcAlgorithm(std::string_view text, CrcAlgorithm& algorithm) {
    for (std::uint8_t i = 0; i < kCrcAlgorithmCount; ++i) {
        if (EqualsIgnoreCase(text, kCrcAlgorithmNames[i])) {
            algorithm = static_cast<CrcAlgorithm>(i);
            return true;
        }
    }
    return false;
}

std::uint32_t ComputeCrc(CrcAlgorithm algorithm, const std::uint8_t* data, std::size_t size) {
    switch (algorithm) {
        case CrcAlgorithm::Crc8:
            return ShiftLeftCrc(8, 0x07, 0, data, size);
        case CrcAlgorithm::Crc16Ccitt:
            return ShiftLeftCrc(16, 0x1021, 0xFFFF, data, size);
        case CrcAlgorithm::Crc16Xmodem:
            return ShiftLeftCrc(16, 0x1021, 0, data, size);
        case CrcAlgorithm::Crc16Arc:
            return ShiftRightCrc(0xA001, 0, data, size);
        case CrcAlgorithm::Crc32:
            return ShiftRightCrc(0xEDB88320, 0xFFFFFFFF, data, size) ^ 0xFFFFFFFFu;
        case CrcAlgorithm::Sum8Neg:
            return (0u - Sum8(data, size)) & 0xFFu;
        case CrcAlgorithm::Sum8:
            return Sum8(data, size);
    }
    return 0;
}

}  // namespace tessaly
