// dump: the image as it would be programmed and the program mask, 16 bytes a line.
#include <string>
#include <vector>

#include "CliTest.h"

namespace tessaly::test {
namespace {

// 19 bytes from address 0x20: a line of 16 and a line of 3. The constant and the checksum are derived.
const char kSmall[] =
    "[Small, I2C8]\n"
    "Magic = STATIC, 20, 5A, A5\n"
    "Serial = NUM, 22-23, 0-FFFF, HEX, BENDIAN\n"
    "Flags = NUM, 24.0-24.3, 0-F, HEX\n"
    "Label = STRING, 25-31, ASCIIZ\n"
    "Sum = CHECKSUM, 32, 20-31, ZEROS\n";

class DumpCommandTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        path = WriteTemplate("small.dev", kSmall);
        ASSERT_EQ(Run({"set", path, "Serial=1234", "Flags=5", "Label=AB"}).status, 0);
    }

    std::string path;
};

TEST_F(DumpCommandTest, PrintsTheImageWithItsDerivedFieldsPreparedAndLeavesTheSavedValues) {
    const std::vector<std::uint8_t> saved = FileBytes(directory / "small.cfg");
    const CliOutput output = Run({"dump", path});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    // The checksum makes the sum of 0x20..0x32 zero: 5A A5 12 34 F5 41 42 00 and nine FF bytes.
    EXPECT_EQ(output.out,
              "0020: 5A A5 12 34 F5 41 42 00 FF FF FF FF FF FF FF FF\n"
              "0030: FF FF B2\n");
    EXPECT_EQ(FileBytes(directory / "small.cfg"), saved);
}

TEST_F(DumpCommandTest, MaskShowsTheEnabledItemsBitsAndDisableNeedsIt) {
    EXPECT_EQ(Run({"dump", path, "--mask"}).out,
              "0020: FF FF FF FF 0F FF FF FF FF FF FF FF FF FF FF FF\n"
              "0030: FF FF FF\n");
    EXPECT_EQ(Run({"dump", "--disable", "Serial,#2", path, "--mask"}).out,
              "0020: FF FF 00 00 00 FF FF FF FF FF FF FF FF FF FF FF\n"
              "0030: FF FF FF\n");
    const CliOutput withoutMask = Run({"dump", path, "--disable", "Serial"});
    EXPECT_EQ(withoutMask.status, 2);
    EXPECT_EQ(withoutMask.out, "");
}

}  // namespace
}  // namespace tessaly::test
