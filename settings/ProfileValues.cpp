#include "settings/ProfileValues.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace tessaly {

namespace {

// One group of option bits and the store value that holds it, as a number from 0 up.
struct OptionValue {
    std::string_view key;
    std::uint32_t mask;
    std::int32_t defaultValue;

    int Shift() const { return std::countr_zero(mask); }
};

constexpr std::array<OptionValue, 7> kOptionValues = {{
    {"ListResize", kOptionListResize, kDefaultListResize},
    {"AlignName", kOptionAlignNameMask, kDefaultAlignName},
    {"EnableItemTips", kOptionEnableItemTips, kDefaultEnableItemTips},
    {"EditOnError", kOptionEditOnError, kDefaultEditOnError},
    {"ConfirmProgram", kOptionConfirmProgram, kDefaultConfirmProgram},
    {"ConfirmVerify", kOptionConfirmVerify, kDefaultConfirmVerify},
    {"BackupBeforeProgram", kOptionBackupBeforeProgram, kDefaultBackupBeforeProgram},
}};

constexpr std::string_view kMruKey = "MRU";
constexpr std::string_view kMemoryInitKey = "MemoryInit";

}  // namespace

void ReadProfileValues(const ProfileStore& store, AppSettings& settings) {
    settings.mruSize =
        std::clamp(store.GetInt(kSettingsSection, kMruKey, kDefaultMruSize), kMinMruSize, kMaxMruSize);
    settings.memoryInit =
        static_cast<std::uint8_t>(store.GetInt(kSettingsSection, kMemoryInitKey, kDefaultMemoryInit));
    settings.options = 0;
    for (const OptionValue& option : kOptionValues) {
        const auto stored =
            static_cast<std::uint32_t>(store.GetInt(kSettingsSection, option.key, option.defaultValue));
        settings.options |= (stored << option.Shift()) & option.mask;
    }
}

void WriteProfileValues(const AppSettings& settings, ProfileStore& store) {
    store.WriteInt(kSettingsSection, kMruKey, settings.mruSize);
    store.WriteInt(kSettingsSection, kMemoryInitKey, settings.memoryInit);
    for (const OptionValue& option : kOptionValues) {
        store.WriteInt(kSettingsSection, option.key,
                       static_cast<std::int32_t>((settings.options & option.mask) >> option.Shift()));
    }
}

}  // namespace tessaly
