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

// Files for other tools: the plain image (--raw), and HEX and S-record files with device addresses, which
// srec_cat turns back into the same bytes; a HEX file srec_cat makes from them imports to the same image, and
// dump --format prints what export writes. A file with a byte outside the unit is refused.
TEST_F(DataFileCommandsTest, OtherToolsReadTheExportsAndWriteWhatImportTakes) {
    const std::string high = WriteTemplate("high.dev", "[High, I2C8]\nLabel = STRING, 80-8B, ASCIIZ\n");
    ASSERT_EQ(Run({"set", high, "Label=at 0x80"}).status, 0);
    ASSERT_EQ(Run({"export", "--raw", high, Path("high.img")}).status, 0);
    EXPECT_EQ(ReadBytes(Path("high.img")), std::string("at 0x80\0\xFF\xFF\xFF\xFF", 12));
    for (const std::string file : {"high.hex", "high.srec", "high.s28"}) {
        ASSERT_EQ(Run({"export", high, Path(file)}).status, 0);
        const std::string format = file.ends_with(".hex") ? " -intel" : " -motorola";
        const std::string back =
            "srec_cat " + Path(file) + format + " -offset -0x80 -o " + Path("b.bin") + " -binary";
        ASSERT_EQ(std::system(back.c_str()), 0);
        EXPECT_EQ(ReadBytes(Path("b.bin")), ReadBytes(Path("high.img"))) << file;
    }
    EXPECT_EQ(Run({"dump", "--format", "srec", high}).out, ReadBytes(Path("high.srec")));
    const std::string made =
        "srec_cat " + Path("high.img") + " -binary -offset 0x80 -o " + Path("m.hex") + " -intel";
    ASSERT_EQ(std::system(made.c_str()), 0);
    WriteBytes(Path("long.bin"), std::string(13, 'x'));
    EXPECT_EQ(Run({"import", high, Path("long.bin")}).err,
              "tessaly-cli: " + Path("long.bin") +
                  ": address 0x8C lies outside unit High (0x80-0x8B); nothing was imported\n");
    WriteBytes(Path("bad.hex"), ":02008000AB\n");
    const std::string bad = Run({"import", high, Path("bad.hex")}).err;
    EXPECT_TRUE(bad.starts_with("tessaly-cli: " + Path("bad.hex") + ", line 1: ")) << bad;
    EXPECT_TRUE(bad.ends_with("; nothing was imported\n")) << bad;
    ASSERT_EQ(Run({"set", high, "Label=changed"}).status, 0);
    ASSERT_EQ(Run({"import", high, Path("m.hex")}).status, 0);
    EXPECT_EQ(Run({"get", high, "Label"}).out, "at 0x80\n");
}

}  // namespace
}  // namespace tessaly::test
