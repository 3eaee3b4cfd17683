#include "plugins/sim/ChipModel.h"

#include <algorithm>
#include <array>

namespace tessaly {

namespace {

// Capacities and page sizes as the manufacturers' data sheets give them. The I2C chips up to 2 KiB take
// one word-address byte and put the higher address bits into the device address; bigger ones take two.
// clang-format off
constexpr std::array kChips{
    //        name       bus           capacity  page  address bytes
    ChipModel{"24C01",   ChipBus::I2c,      128,    8, 1},
    ChipModel{"24C02",   ChipBus::I2c,      256,    8, 1},
    ChipModel{"24C04",   ChipBus::I2c,      512,   16, 1},
    ChipModel{"24C08",   ChipBus::I2c,     1024,   16, 1},
    ChipModel{"24C16",   ChipBus::I2c,     2048,   16, 1},
    ChipModel{"24C32",   ChipBus::I2c,     4096,   32, 2},
    ChipModel{"24C64",   ChipBus::I2c,     8192,   32, 2},
    ChipModel{"24C128",  ChipBus::I2c,    16384,   64, 2},
    ChipModel{"24C256",  ChipBus::I2c,    32768,   64, 2},
    ChipModel{"24C512",  ChipBus::I2c,    65536,  128, 2},
    ChipModel{"25LC128", ChipBus::Spi,    16384,   64, 2},
    ChipModel{"25LC256", ChipBus::Spi,    32768,   64, 2},
    ChipModel{"25LC512", ChipBus::Spi,    65536,  128, 2},
};
// clang-format on

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace

std::span<const ChipModel> ChipModels() {
    return kChips;
}

const ChipModel* FindChipModel(std::string_view name) {
    const auto found = std::ranges::find_if(
        kChips, [name](const ChipModel& chip) { return EqualsIgnoreCase(chip.name, name); });
    return found == kChips.end() ? nullptr : &*found;
}

}  // namespace tessaly
