#include "plugins/sim/BusTiming.h"

namespace tessaly {

namespace {

std::chrono::microseconds BitTime(std::uint64_t bits, std::uint32_t busKhz) {
    if (busKhz == 0) {
        return std::chrono::microseconds{0};
    }
    return std::chrono::microseconds{static_cast<std::int64_t>((bits * 1000 + busKhz - 1) / busKhz)};
}

}  // namespace

std::chrono::microseconds TransferTime(const ChipModel& chip, std::uint32_t dataBytes, std::uint32_t busKhz) {
    const std::uint64_t bytes = std::uint64_t{1} + chip.addressBytes + dataBytes;
    const std::uint64_t bits = chip.bus == ChipBus::I2c ? 1 + 9 * bytes : 8 * bytes;
    return BitTime(bits, busKhz);
}

std::chrono::microseconds RefusedTransferTime(const ChipModel& chip, std::uint32_t busKhz) {
    return BitTime(chip.bus == ChipBus::I2c ? 10 : 16, busKhz);
}

}  // namespace tessaly
