#include "plugins/i2cdev/ReservedAdapter.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tessaly {
namespace {

// "SMBus" only as a prefix: the chipset drivers start their names with it, while USB bridges such as
// "CP2112 SMBus Bridge on hidraw0" carry it further in.
constexpr std::array kPatterns{
    ReservedAdapterPattern{"SMBus", true, "SMBus I801 adapter at efa0"},
    ReservedAdapterPattern{"gmbus", false, "i915 gmbus dpb"},
    ReservedAdapterPattern{"DPDDC", true, "DPDDC-B"},
    ReservedAdapterPattern{"AUX ", true, "AUX B/DDI B/PHY B"},
    ReservedAdapterPattern{"DPMST", false, "DPMST"},
    ReservedAdapterPattern{"AMDGPU", true, "AMDGPU DM i2c hw bus 0"},
    ReservedAdapterPattern{"Radeon", true, "Radeon i2c bit bus 0x90"},
    ReservedAdapterPattern{"NVIDIA", true, "NVIDIA i2c adapter 0 at 1:00.0"},
    ReservedAdapterPattern{"nvkm-", true, "nvkm-0000:01:00.0-bus-0000"},
    ReservedAdapterPattern{"hdmi", false, "DesignWare HDMI"},
    ReservedAdapterPattern{"ddc", false, "sun4i_hdmi_ddc"},
};

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool Matches(const ReservedAdapterPattern& pattern, std::string_view name) {
    if (name.size() < pattern.text.size()) {
        return false;
    }
    const std::size_t lastStart = pattern.prefixOnly ? 0 : name.size() - pattern.text.size();
    for (std::size_t start = 0; start <= lastStart; ++start) {
        if (EqualIgnoringCase(name.substr(start, pattern.text.size()), pattern.text)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::span<const ReservedAdapterPattern> ReservedAdapterPatterns() {
    return kPatterns;
}

bool IsReservedAdapter(std::string_view name) {
    return std::any_of(kPatterns.begin(), kPatterns.end(),
                       [name](const ReservedAdapterPattern& pattern) { return Matches(pattern, name); });
}

}  // namespace tessaly
