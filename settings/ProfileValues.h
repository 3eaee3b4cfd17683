#pragma once

#include <string_view>

#include "settings/AppSettings.h"
#include "settings/ProfileStore.h"

namespace tessaly {

// The profile store's section for the eight numeric settings.
inline constexpr std::string_view kSettingsSection = "Settings";

// Reads "MRU" into mruSize (clamped to kMinMruSize..kMaxMruSize), "MemoryInit" into memoryInit (its low
// 8 bits) and "ListResize", "AlignName", "EnableItemTips", "EditOnError", "ConfirmProgram" and
// "ConfirmVerify" into options, each option from the lowest bit of its number ("AlignName" from the
// lowest two). Every option bit is set anew, so options holds no other bits afterwards.
void ReadProfileValues(const ProfileStore& store, AppSettings& settings);

// Writes the eight values in the order ReadProfileValues reads them, each option as 0 or 1 and
// "AlignName" as 0 to 3.
void WriteProfileValues(const AppSettings& settings, ProfileStore& store);

}  // namespace tessaly
