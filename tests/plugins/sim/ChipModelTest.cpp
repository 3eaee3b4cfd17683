#include "plugins/sim/ChipModel.h"

#include <gtest/gtest.h>

#include <string>

#include "plugins/sim/BusTiming.h"

namespace tessaly {
namespace {

// The whole table, row by row in port order, against the chips' data sheets: the sizes here are written
// down independently of the table, so a wrong entry shows even when it looks plausible. I2C
// chips up to 2 KiB (24C01 to 24C16) take one word-address byte and put the higher address bits into the
// device address; bigger ones take two. SPI address bytes must reach every byte of the chip.
TEST(ChipTable, HoldsTheDataSheetSizesAndEveryRowKeepsTheRules) {
    struct DataSheet {
        std::string_view name;
        std::uint32_t capacity;
        std::uint32_t pageSize;
    };
    const DataSheet sheets[] = {
        {"24C01", 128, 8},       {"24C02", 256, 8},      {"24C04", 512, 16},     {"24C08", 1024, 16},
        {"24C16", 2048, 16},     {"24C32", 4096, 32},    {"24C64", 8192, 32},    {"24C128", 16384, 64},
        {"24C256", 32768, 64},   {"24C512", 65536, 128}, {"25LC128", 16384, 64}, {"25LC256", 32768, 64},
        {"25LC512", 65536, 128},
    };
    ASSERT_EQ(ChipModels().size(), std::size(sheets));
    for (std::size_t i = 0; i < std::size(sheets); ++i) {
        const ChipModel& chip = ChipModels()[i];
        SCOPED_TRACE(sheets[i].name);
        EXPECT_EQ(chip.name, sheets[i].name);
        EXPECT_EQ(chip.capacity, sheets[i].capacity);
        EXPECT_EQ(chip.pageSize, sheets[i].pageSize);
        EXPECT_LE(chip.name.size(), kLongestChipName);
        EXPECT_TRUE(chip.name.starts_with(chip.bus == ChipBus::I2c ? "24C" : "25LC"));
        if (chip.bus == ChipBus::I2c) {
            EXPECT_EQ(chip.addressBytes, chip.capacity <= 2048 ? 1u : 2u);
        } else {
            EXPECT_GE(std::uint64_t{1} << (8 * chip.addressBytes), chip.capacity);
        }
    }
}

TEST(ChipTable, FindsNamesWithoutRegardToCaseAndWholeOnly) {
    ASSERT_NE(FindChipModel("25lc256"), nullptr);
    EXPECT_EQ(FindChipModel("25lc256")->name, "25LC256");
    for (const char* name : {"24C0", "24C02 ", "24C03", ""}) {
        EXPECT_EQ(FindChipModel(name), nullptr) << name;
    }
}

TEST(BusTiming, TransfersTakeTheirBitsOnTheBusAndARefusedOneEndsAfterTheDeviceAddress) {
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
             Case{"24C512", 0xFFFFFFFFu, 1, (1 + 9 * (3 + 0xFFFFFFFFll)) * 1000,
                  "the longest does not overflow"},
         }) {
        EXPECT_EQ(TransferTime(*FindChipModel(c.chip), c.bytes, c.khz).count(), c.micros) << c.why;
    }
    EXPECT_EQ(RefusedTransferTime(*FindChipModel("24C512"), 0).count(), 0);
    EXPECT_EQ(RefusedTransferTime(*FindChipModel("24C02"), 100).count(), 100);
    EXPECT_EQ(RefusedTransferTime(*FindChipModel("25LC512"), 100).count(), 160);
}

}  // namespace
}  // namespace tessaly
