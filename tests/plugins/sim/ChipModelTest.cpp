#include "plugins/sim/ChipModel.h"

#include <gtest/gtest.h>

#include <bit>
#include <cctype>
#include <set>
#include <string>
#include <tuple>

namespace tessaly {
namespace {

std::string Lower(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

// Walks every row of the table: the rules a new row must keep. I2C chips up to 2 KiB (24C01 to 24C16)
// take one word-address byte and up to three block-select bits in the device address; 24C32 and bigger
// take two. SPI address bytes must reach every byte of the chip.
// The sizes come from the chips' data sheets, not from the table, so a wrong entry shows here.
TEST(ChipTable, HoldsTheDataSheetSizes) {
    struct Expected {
        const char* name;
        std::uint32_t capacity;
        std::uint32_t pageSize;
    };
    const Expected expected[] = {
        {"24C01", 128, 8},     {"24C02", 256, 8},      {"24C04", 512, 16},     {"24C08", 1024, 16},
        {"24C16", 2048, 16},   {"24C32", 4096, 32},    {"24C64", 8192, 32},    {"24C128", 16384, 64},
        {"24C256", 32768, 64}, {"24C512", 65536, 128}, {"25LC256", 32768, 64}, {"25LC512", 65536, 128},
    };
    for (const Expected& row : expected) {
        SCOPED_TRACE(row.name);
        const ChipModel* chip = FindChipModel(row.name);
        ASSERT_NE(chip, nullptr);
        EXPECT_EQ(chip->capacity, row.capacity);
        EXPECT_EQ(chip->pageSize, row.pageSize);
    }
}

TEST(ChipTable, EveryRowKeepsTheRules) {
    std::set<std::string> names;
    for (const ChipModel& chip : ChipModels()) {
        SCOPED_TRACE(chip.name);
        EXPECT_TRUE(std::has_single_bit(chip.capacity));
        EXPECT_TRUE(std::has_single_bit(chip.pageSize));
        EXPECT_LT(chip.pageSize, chip.capacity);
        EXPECT_FALSE(chip.name.empty());
        EXPECT_LE(chip.name.size(), kLongestChipName);
        EXPECT_TRUE(names.insert(Lower(chip.name)).second) << "names must differ without regard to case";
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
    EXPECT_EQ(FindChipModel("24C0"), nullptr);
    EXPECT_EQ(FindChipModel("24C02 "), nullptr);
    EXPECT_EQ(FindChipModel("24C03"), nullptr);
    EXPECT_EQ(FindChipModel(""), nullptr);
}

TEST(ChipAddressing, I2cChipsAnswerOnlyToTheirOwnWidthAndSpiChipsToEither) {
    for (const auto& [name, narrow, wide] :
         {std::tuple{"24C16", true, false}, {"24C32", false, true}, {"25LC256", true, true}}) {
        EXPECT_EQ(FindChipModel(name)->AnswersTo(false), narrow) << name;
        EXPECT_EQ(FindChipModel(name)->AnswersTo(true), wide) << name;
    }
}

}  // namespace
}  // namespace tessaly
