// export and import: template data files as the desktop's commands write and read them, raw bytes, and
// Intel HEX and S-record files.
#include <cstdlib>
#include <string>

#include "CliTest.h"
#include "TestFiles.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly::test {
namespace {

const char kUnits[] =
    "[Config, I2C8]\n"
    "Serial = NUM, 0-3, 0-FFFFFFFF, HEX\n"
    "Label = STRING, 4-B, ASCIIZ\n"
    "[Spare, I2C8]\n"
    "Serial = NUM, 0-3, 0-FFFFFFFF, HEX\n"
    "Label = STRING, 4-B, ASCIIZ\n"
    "Extra = NUM, C-F, 0-FFFFFFFF, HEX\n";

class DataFileCommandsTest : public CliTest {
  protected:
    void SetUp() override {
        path = WriteTemplate("units.dev", kUnits);
        ASSERT_EQ(Run({"set", path, "Serial=CAFE", "Label=config"}).status, 0);
        ASSERT_EQ(Run({"set", path, "--unit", "Spare", "Serial=BEEF", "Label=spare"}).status, 0);
    }

    std::string path;
};

// A data file of the unit is read back as it is; one of another unit only with --force, which takes its
// first record up to the unit's size.
TEST_F(DataFileCommandsTest, ImportReadsTheUnitsDataAndAnotherUnitsOnlyWithForce) {
    ASSERT_EQ(Run({"export", path, Path("config.tdf")}).status, 0);
    ASSERT_EQ(Run({"set", path, "Serial=1", "Label=changed"}).status, 0);
    const CliOutput output = Run({"import", path, Path("config.tdf")});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(Run({"get", path, "Serial", "Label"}).out, "CAFE\nconfig\n");

    ASSERT_EQ(Run({"export", path, "--unit", "Spare", Path("spare.tdf")}).status, 0);
    const std::string question = std::string(GetMessageText(msg::kAskLoadOtherProfile)) + "\nAnswer: ";
    const CliOutput refused = Run({"import", path, Path("spare.tdf")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, question + "No\ntessaly-cli: " + Path("spare.tdf") +
                               " holds another unit's data; --force imports it all the same\n");
    EXPECT_EQ(Run({"get", path, "Serial", "Label"}).out, "CAFE\nconfig\n");
    const CliOutput forced = Run({"import", "--force", path, Path("spare.tdf")});
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(forced.err, question + "Yes\n");
    EXPECT_EQ(Run({"get", path, "Serial", "Label"}).out, "BEEF\nspare\n");
}

// The plain image from the unit's first address; a shorter file fills only the first bytes, a longer one
// is refused.
TEST_F(DataFileCommandsTest, RawExportAndImportAreThePlainImage) {
    ASSERT_EQ(Run({"export", "--raw", path, Path("config.bin")}).status, 0);
    EXPECT_EQ(ReadBytes(Path("config.bin")), std::string("\xFE\xCA\0\0config\0\xFF", 12));
    WriteBytes(Path("short.bin"), "\x01\x02\x03\x04");
    ASSERT_EQ(Run({"import", "--raw", path, Path("short.bin")}).status, 0);
    EXPECT_EQ(Run({"get", path, "Serial", "Label"}).out, "4030201\nconfig\n");

    WriteBytes(Path("long.bin"), std::string(13, 'x'));
    const CliOutput output = Run({"import", "--raw", path, Path("long.bin")});
    EXPECT_EQ(output.status, 2);
    EXPECT_EQ(output.err, "tessaly-cli: " + Path("long.bin") +
                              ": address 0xC lies outside unit Config (0x0-0xB); nothing was imported\n");
    EXPECT_EQ(Run({"get", path, "Serial"}).out, "4030201\n");
}

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// HEX and S-record files carry device addresses: srec_cat turns them back into the unit's bytes, and a HEX
// file that srec_cat makes from those bytes imports to the same image. dump --format prints the same file.
TEST_F(DataFileCommandsTest, HexAndSRecordFilesRoundTripThroughSrecCat) {
    const std::string high = WriteTemplate("high.dev", "[High, I2C8]\nLabel = STRING, 80-8F, ASCIIZ\n");
    ASSERT_EQ(Run({"set", high, "Label=at 0x80"}).status, 0);
    ASSERT_EQ(Run({"export", high, Path("high.bin")}).status, 0);
    for (const std::string file : {"high.hex", "high.srec", "high.s28"}) {
        ASSERT_EQ(Run({"export", high, Path(file)}).status, 0);
        const std::string format = file.ends_with(".hex") ? " -intel" : " -motorola";
        ASSERT_TRUE(
            Shell("srec_cat " + Path(file) + format + " -offset -0x80 -o " + Path("back.bin") + " -binary"));
        EXPECT_EQ(ReadBytes(Path("back.bin")), ReadBytes(Path("high.bin"))) << file;
    }
    EXPECT_EQ(Run({"dump", "--format", "srec", high}).out, ReadBytes(Path("high.srec")));
    ASSERT_TRUE(
        Shell("srec_cat " + Path("high.bin") + " -binary -offset 0x80 -o " + Path("made.hex") + " -intel"));
    ASSERT_EQ(Run({"set", high, "Label=changed"}).status, 0);
    ASSERT_EQ(Run({"import", high, Path("made.hex")}).status, 0);
    EXPECT_EQ(Run({"get", high, "Label"}).out, "at 0x80\n");
}

}  // namespace
}  // namespace tessaly::test
