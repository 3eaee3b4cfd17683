#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LoadedTemplate.h"
#include "engine/ItemDifference.h"

namespace tessaly {
namespace {

std::string Joined(const std::vector<ItemDifference>& differences) {
    std::string text;
    for (const ItemDifference& difference : differences) {
        text += difference.name + "\t" + difference.chip + "\t" + difference.expected + "\n";
    }
    return text;
}

// A fixed byte at 0, a disabled item, a checksum and a byte (5) no item owns but the mask covers.
class ItemDifferenceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(board.Loaded());
        Unit& unit = board.UnitAt();
        ASSERT_TRUE(board.SetValue(0, "12"));
        ASSERT_TRUE(board.SetValue(1, "7"));
        unit.SetItemEnabled(1, false);
        unit.UpdateProgramMask();
        unit.programMask[5] = 0x0F;
        unit.PrepareDerivedFields();
        expected.assign(unit.dataImage, unit.dataImage + unit.ImageSize());
        chip = expected;
    }

    test::LoadedTemplate board{{"[U, I2C8, A0]", "Count = NUM, 1, 0-FF, DEC", "Spare = NUM, 2, 0-FF, DEC",
                                "Sum = CHECKSUM, 3, 1-2, ZEROS", "Pad = NUM, 6, 0-FF, DEC"},
                               0x00};
    std::vector<std::uint8_t> expected;
    std::vector<std::uint8_t> chip;
};

// Verify names every item with a differing bit under the mask, the derived ones in hex, then unowned masked
// bits by address; a disabled item and bits outside the mask do not count.
TEST_F(ItemDifferenceTest, MaskedDifferencesNameItemsThenUnownedBytes) {
    chip[0] = 0xA1;
    chip[1] = 13;
    chip[2] = 9;
    chip[3] = 0x42;
    chip[5] = 0xF3;
    EXPECT_EQ(Joined(ListMaskedDifferences(board.UnitAt(), chip.data(), expected.data())),
              "Count\t13\t12\nSum\t42\t12\n@0000\tA1\tA0\n@0005\tF3\t00\n");
}

// The comparison with the chip takes the listed items: enabled ones, or every one.
TEST_F(ItemDifferenceTest, ChangedItemsAreTheListedOnes) {
    chip[2] = 9;
    chip[3] = 0x42;
    EXPECT_EQ(Joined(ListChangedItems(board.UnitAt(), chip.data(), expected.data(), false)), "");
    EXPECT_EQ(Joined(ListChangedItems(board.UnitAt(), chip.data(), expected.data(), true)), "Spare\t9\t7\n");
}

}  // namespace
}  // namespace tessaly
