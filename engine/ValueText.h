#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ModelTypes.h"

namespace tessaly {

// A typed item value: digits of the base only (no sign, prefix or blank; hexadecimal digits in either
// case). The digits accumulate in a double, so a text beyond 32 bits is judged against the item's range
// instead of wrapping into it. False for an empty text or a base outside Bin..Hex.
bool ParseValueText(std::string_view text, NumberBase base, double& value);

// value in the base, most significant digit first, upper-case A-F, no prefix and no leading zeros.
// False for a base outside Bin..Hex.
bool FormatValueText(std::uint32_t value, NumberBase base, std::string& text);

}  // namespace tessaly
