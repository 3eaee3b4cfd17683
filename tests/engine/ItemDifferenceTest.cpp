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

// Verify names every item with a differing bit under the mask, derived ones in hex, then the masked bits no
// item owns (the fixed byte, byte 5) by address; the disabled Spare counts only when every listed item is
// compared, and never for Verify.
TEST(ItemDifferenceTest, DifferingItemsAreNamedWithBothValues) {
    test::LoadedTemplate board({"[U, I2C8, A0]", "Count = NUM, 1, 0-FF, DEC", "Spare = NUM, 2, 0-FF, DEC",
                                "Sum = CHECKSUM, 3, 1-2, ZEROS", "Pad = NUM, 6, 0-FF, DEC"},
                               0x00);
    Unit& unit = board.UnitAt();
    ASSERT_TRUE(board.SetValue(0, "12") && board.SetValue(1, "7"));
    unit.SetItemEnabled(1, false);
    unit.UpdateProgramMask();
    unit.programMask[5] = 0x0F;
    unit.PrepareDerivedFields();
    const std::vector<std::uint8_t> expected(unit.dataImage, unit.dataImage + unit.ImageSize());
    const std::vector<std::uint8_t> chip = {0xA1, 13, 9, 0x42, 0, 0xF3, 0};
    EXPECT_EQ(Joined(ListMaskedDifferences(unit, chip.data(), expected.data())),
              "Count\t13\t12\nSum\t42\t12\n@0000\tA1\tA0\n@0005\tF3\t00\n");
    EXPECT_EQ(Joined(ListChangedItems(unit, chip.data(), expected.data(), false)), "Count\t13\t12\n");
    EXPECT_EQ(Joined(ListChangedItems(unit, chip.data(), expected.data(), true)),
              "Count\t13\t12\nSpare\t9\t7\n");
}

}  // namespace
}  // namespace tessaly
