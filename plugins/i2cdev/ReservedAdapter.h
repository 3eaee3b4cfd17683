#pragma once

#include <span>
#include <string_view>

namespace tessaly {

// An adapter name pattern of a bus that leads somewhere the user's chip is not: a display's DDC or
// DisplayPort AUX channel, with the monitor's EDID EEPROM at 0x50, or a PC chipset's SMBus, with the
// memory modules' SPD EEPROMs at 0x50 to 0x57. Writing to either can leave a monitor or a computer
// unusable, so such adapters are not listed. Patterns compare without regard to letter case.
struct ReservedAdapterPattern {
    std::string_view text;
    bool prefixOnly;       // the name starts with text; otherwise it contains it anywhere
    std::string_view why;  // an example adapter name it is there for
};

std::span<const ReservedAdapterPattern> ReservedAdapterPatterns();

bool IsReservedAdapter(std::string_view name);

}  // namespace tessaly
