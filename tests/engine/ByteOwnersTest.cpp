#include "engine/ByteOwners.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "TestTemplates.h"

namespace tessaly {
namespace {

using Owners = std::vector<std::pair<std::uint32_t, int>>;

Owners OwnersAt(const ByteOwners& owners, std::uint32_t offset) {
    Owners found;
    for (const ByteOwner& owner : owners.At(offset)) {
        found.emplace_back(owner.item, owner.bits);
    }
    return found;
}

// The fixed byte, a number over two half bytes, three fields sharing one byte and a checksum, with a byte
// between them that nothing owns. The program mask holds the bits of the enabled owners only, as
// UpdateProgramMask makes it for Program.
TEST(ByteOwnersTest, EachByteHasItsOwnersAndTheProgramMaskTheirEnabledBits) {
    test::ImagedTemplate imaged =
        test::ImageLines({"[U, I2C8, A0]", "n = NUM, 1.4-2.3, 0-FF, HEX", "a = BIT, 3.0, x, y",
                          "b = ENUM, 3.1-3.2, p, q, r, s", "s = STATIC, 3.7", "c = CHECKSUM, 5, 1-3"});
    Unit& unit = imaged.UnitAt(0);
    ASSERT_TRUE(unit.SetItemEnabled(2, false));
    const ByteOwners owners(unit);
    const Owners expected[] = {
        {{kNoItem, 0xFF}}, {{0, 0xF0}}, {{0, 0x0F}}, {{1, 0x01}, {2, 0x06}, {3, 0x80}}, {}, {{4, 0xFF}}, {},
    };
    for (std::uint32_t offset = 0; offset < std::size(expected); ++offset) {
        EXPECT_EQ(OwnersAt(owners, offset), expected[offset]) << offset;
    }

    unit.UpdateProgramMask();
    const std::vector<std::uint8_t> mask(unit.programMask, unit.programMask + unit.ImageSize());
    EXPECT_EQ(owners.ProgramMask(), (std::vector<std::uint8_t>{0xFF, 0xF0, 0x0F, 0x81, 0x00, 0xFF}));
    EXPECT_EQ(owners.ProgramMask(), mask);
}

}  // namespace
}  // namespace tessaly
