#pragma once

#include <cstdint>

#include "engine/ModelTypes.h"

namespace tessaly {

// The kind-specific part of an item. Texts are NUL-terminated copies in the template heap; a null text is
// one that was empty in the script.

struct BitRecord {
    Location location;
    BitRange bits = kWholeBytes;
    const char* texts[2] = {nullptr, nullptr};
};

struct EnumRecord {
    Location location;
    BitRange bits = kWholeBytes;
    // 2^width kept in 8 bits, so a full byte's 256 choices store 0.
    std::uint8_t count = 0;
    const char** texts = nullptr;
};

inline constexpr std::uint8_t kNumBigEndian = 0x01;
inline constexpr std::uint8_t kNumScaled = 0x02;

struct NumRecord {
    Location location;
    BitRange bits = kWholeBytes;
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;
    NumberBase base = NumberBase::Dec;
    std::uint8_t flags = 0;
    float scale = 1.0f;
};

struct StaticRecord {
    Location location;  // end is start + number of bytes - 1
    BitRange bits = kWholeBytes;
    const std::uint8_t* bytes = nullptr;
};

struct TitleRecord {
    std::uint8_t spacing = 0;
};

inline constexpr std::uint8_t kStringCounterWidthMask = 0x03;
inline constexpr std::uint8_t kStringBigEndian = 0x80;

struct StringRecord {
    Location location;
    std::uint8_t flags = 0;
};

inline constexpr std::uint8_t kRelativeOpMask = 0x0F;
inline constexpr std::uint8_t kRelativeBigEndian = 0x80;

struct RelativeRecord {
    Location location;
    BitRange bits = kWholeBytes;
    Location sourceLocation;
    BitRange sourceBits = kWholeBytes;
    std::uint8_t flags = static_cast<std::uint8_t>(RelativeOp::Copy);
    std::uint32_t operand = 0;
};

inline constexpr std::uint8_t kChecksumZeros = 0x01;
inline constexpr std::uint8_t kChecksumBigEndian = 0x80;

struct ChecksumRecord {
    Location location;
    Location range;
    std::uint8_t flags = kChecksumZeros;
};

enum class CrcAlgorithm : std::uint8_t { Crc8 = 0, Crc16Ccitt, Crc16Xmodem, Crc16Arc, Crc32, Sum8Neg, Sum8 };
inline constexpr std::uint8_t kCrcAlgorithmCount = 7;

inline constexpr std::uint8_t kCrcDefined = 0x01;
inline constexpr std::uint8_t kCrcBigEndian = 0x80;

// A CRC entry whose arguments form a complete definition is a field computed over a range; any other CRC
// entry is a placeholder without memory (flags without kCrcDefined).
struct CrcRecord {
    Location location;
    Location range;
    CrcAlgorithm algorithm = CrcAlgorithm::Crc8;
    std::uint8_t flags = 0;
    // A placeholder whose entry named an algorithm that is not known: that name, so that a template check
    // can point out the typo; null otherwise.
    const char* unknownAlgorithm = nullptr;
};

}  // namespace tessaly
