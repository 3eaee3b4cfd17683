#include "plugins/sim/BusTiming.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using std::chrono::microseconds;

const ChipModel& Chip(const char* name) {
    return *FindChipModel(name);
}

TEST(BusTiming, NoClockMeansNoTime) {
    EXPECT_EQ(TransferTime(Chip("24C512"), 128, 0), microseconds{0});
    EXPECT_EQ(RefusedTransferTime(Chip("24C512"), 0), microseconds{0});
}

// start + 9 * (device address + word address + 8 data bytes) = 1 + 9 * 10 = 91 bits at 10 us a bit.
TEST(BusTiming, I2cCountsStartAndNineBitsForEveryByte) {
    EXPECT_EQ(TransferTime(Chip("24C02"), 8, 100), microseconds{910});
}

// 1 + 9 * (1 + 2 + 64) = 604 bits at 2.5 us a bit.
TEST(BusTiming, WideI2cChipsSendTwoWordAddressBytes) {
    EXPECT_EQ(TransferTime(Chip("24C256"), 64, 400), microseconds{1510});
}

// 8 * (command + 2 address bytes + 64) = 536 bits at 1 us a bit.
TEST(BusTiming, SpiCountsEightBitsForEveryByteAndNoStart) {
    EXPECT_EQ(TransferTime(Chip("25LC256"), 64, 1000), microseconds{536});
}

// 1 + 9 * 3 = 28 bits at 3 kHz is 9333.3 us.
TEST(BusTiming, RoundsUpToWholeMicroseconds) {
    EXPECT_EQ(TransferTime(Chip("24C02"), 1, 3), microseconds{9334});
}

TEST(BusTiming, RefusedTransfersEndAfterTheDeviceAddress) {
    EXPECT_EQ(RefusedTransferTime(Chip("24C02"), 100), microseconds{100});
    EXPECT_EQ(RefusedTransferTime(Chip("25LC512"), 100), microseconds{160});
}

TEST(BusTiming, TheLongestTransferDoesNotOverflow) {
    EXPECT_EQ(TransferTime(Chip("24C512"), 0xFFFFFFFFu, 1).count(), (1 + 9 * (3 + 0xFFFFFFFFll)) * 1000);
}

}  // namespace
}  // namespace tessaly
