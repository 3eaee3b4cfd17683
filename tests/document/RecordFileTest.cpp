// Intel HEX, S-record and raw binary files through the srecord library: the bytes a file gives land at
// their device addresses, and a damaged file stores nothing and names its line or address.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestTemplates.h"
#include "document/RecordFile.h"

namespace tessaly {
namespace {

struct RecordFileCase {
    DataFormat format;
    std::string contents;
    RecordFileError error;
    std::uint32_t where;
};

const RecordFileCase kCases[] = {
    // A good file stores AB CD at 0x82 and leaves the other bytes.
    {DataFormat::IntelHex, ":02008200ABCD04\n:00000001FF\n", RecordFileError::None, 0},
    {DataFormat::SRecord, "S1050082ABCD00\nS9030000FC\n", RecordFileError::None, 0},
    {DataFormat::IntelHex, ":01008000116E\n:02008200ABCD05\n:00000001FF\n", RecordFileError::BadLine, 2},
    {DataFormat::SRecord32, "S1050082ABCD01\n", RecordFileError::BadLine, 1},
    {DataFormat::IntelHex, ":02008200AB\n", RecordFileError::BadLine, 1},
    {DataFormat::IntelHex, ":" + std::string(100 * 1024, '0') + "\n", RecordFileError::BadLine, 1},
    {DataFormat::IntelHex, ":01008000116E\n:02008F00ABCDF7\n:00000001FF\n", RecordFileError::OutsideUnit,
     0x90},
    {DataFormat::IntelHex, ":01007F00116F\n:00000001FF\n", RecordFileError::OutsideUnit, 0x7F},
    {DataFormat::RawBinary, std::string(17, 'x'), RecordFileError::OutsideUnit, 0x90},
};

class RecordFileTest : public ::testing::TestWithParam<RecordFileCase> {};

TEST_P(RecordFileTest, StoresAGoodFileAtItsAddressesAndNothingOfADamagedOne) {
    test::ImagedTemplate t = test::ImageLines({"[High, I2C8]", "Label = STRING, 80-8F, ASCIIZ"}, 0x5A);
    Unit& unit = t.UnitAt(0);
    std::vector<std::uint8_t> expected(16, 0x5A);
    const RecordFileResult result = ReadRecordFile(unit, GetParam().contents, GetParam().format);
    EXPECT_EQ(result.error, GetParam().error) << result.detail;
    EXPECT_EQ(result.where, GetParam().where);
    if (GetParam().error == RecordFileError::None) {
        expected[2] = 0xAB;
        expected[3] = 0xCD;
    }
    EXPECT_EQ(std::vector<std::uint8_t>(unit.dataImage, unit.dataImage + 16), expected);
    EXPECT_TRUE(t.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Files, RecordFileTest, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace tessaly
