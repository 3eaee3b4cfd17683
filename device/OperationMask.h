#pragma once

#include <cstdint>

namespace tessaly {

// The steps of a device request, as bits. The steps run in the fixed order prepare, read, program, verify
// whatever the order of the bits.
using OperationMask = std::uint32_t;

namespace operation {

inline constexpr OperationMask kPrepareData = 1;
inline constexpr OperationMask kVerify = 2;
inline constexpr OperationMask kProgram = 4;
inline constexpr OperationMask kRead = 8;

// What the three device commands hand over.
inline constexpr OperationMask kProgramCommand = kPrepareData | kProgram | kVerify;
inline constexpr OperationMask kReadCommand = kRead;
inline constexpr OperationMask kVerifyCommand = kPrepareData | kVerify;

}  // namespace operation

}  // namespace tessaly
