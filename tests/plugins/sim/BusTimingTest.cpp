#include "plugins/sim/BusTiming.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using std::chrono::microseconds;

const ChipModel& Chip(const char* name) {
    return *FindChipModel(name);
}

TEST(BusTiming, TransferTimeCountsTheBitsOnTheBus) {
    struct Case {
        const char* chip;
        std::uint32_t bytes;
        std::uint32_t khz;
        std::int64_t micros;
        const char* why;
    };
    for (const Case& c : {
             Case{"24C512", 128, 0, 0, "no clock means no time"},
             Case{"24C02", 8, 100, 910, "I2C: start + 9 * (device address + word address + 8) = 91 bits"},
             Case{"24C256", 64, 400, 1510, "wide I2C: 1 + 9 * (1 + 2 + 64) = 604 bits at 2.5 us"},
             Case{"25LC256", 64, 1000, 536, "SPI: 8 * (command + 2 address bytes + 64), no start"},
             Case{"24C02", 1, 3, 9334, "28 bits at 3 kHz is 9333.3 us, rounded up"},
         }) {
        EXPECT_EQ(TransferTime(Chip(c.chip), c.bytes, c.khz), microseconds{c.micros}) << c.why;
    }
}

TEST(BusTiming, RefusedTransfersEndAfterTheDeviceAddress) {
    EXPECT_EQ(RefusedTransferTime(Chip("24C512"), 0), microseconds{0});
    EXPECT_EQ(RefusedTransferTime(Chip("24C02"), 100), microseconds{100});
    EXPECT_EQ(RefusedTransferTime(Chip("25LC512"), 100), microseconds{160});
}

TEST(BusTiming, TheLongestTransferDoesNotOverflow) {
    EXPECT_EQ(TransferTime(Chip("24C512"), 0xFFFFFFFFu, 1).count(), (1 + 9 * (3 + 0xFFFFFFFFll)) * 1000);
}

}  // namespace
}  // namespace tessaly
