// export and import: template data files as the desktop's commands write and read them, and raw bytes.
#include <fstream>
#include <string>
#include <vector>

#include "CliTest.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;

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
        CliTest::SetUp();
        path = WriteTemplate("units.dev", kUnits);
        ASSERT_EQ(Run({"set", path, "Serial=CAFE", "Label=config"}).status, 0);
        ASSERT_EQ(Run({"set", path, "--unit", "Spare", "Serial=BEEF", "Label=spare", "Extra=1"}).status, 0);
    }

    std::string File(const std::string& name) const { return (directory / name).string(); }

    std::string path;
};

TEST_F(DataFileCommandsTest, ExportWritesTheUnitAsTheOneRecordOfADataFile) {
    ASSERT_EQ(Run({"export", path, File("config.tdf")}).status, 0);
    const std::vector<std::uint8_t> bytes = FileBytes(File("config.tdf"));
    ASSERT_EQ(bytes.size(), 60u + 50u + 12u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "VRD");
    EXPECT_EQ(bytes[10], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[12])), "Config");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[60])), "Config");
    EXPECT_EQ(bytes[108], 12);
    EXPECT_EQ(bytes[110], 0xFE);
}

TEST_F(DataFileCommandsTest, ImportBringsBackWhatWasExported) {
    ASSERT_EQ(Run({"export", path, File("config.tdf")}).status, 0);
    ASSERT_EQ(Run({"set", path, "Serial=1", "Label=changed"}).status, 0);
    const CliOutput output = Run({"import", path, File("config.tdf")});
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(Run({"get", path, "Serial", "Label"}).out, "CAFE\nconfig\n");
}

TEST_F(DataFileCommandsTest, AFileOfAnotherUnitIsRefusedWithoutForce) {
    ASSERT_EQ(Run({"export", path, "--unit", "Spare", File("spare.tdf")}).status, 0);
    const std::string question = std::string(GetMessageText(msg::kAskLoadOtherProfile)) + "\nAnswer: ";
    const CliOutput refused = Run({"import", path, File("spare.tdf")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, question + "No\ntessaly-cli: " + File("spare.tdf") +
                               " holds another unit's data; --force imports it all the same\n");
    EXPECT_EQ(Run({"get", path, "Serial", "Label"}).out, "CAFE\nconfig\n");

    // --force takes the first record up to the unit's size.
    const CliOutput forced = Run({"import", "--force", path, File("spare.tdf")});
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(forced.err, question + "Yes\n");
    EXPECT_EQ(Run({"get", path, "Serial", "Label"}).out, "BEEF\nspare\n");
}

TEST_F(DataFileCommandsTest, AFileThatIsNoDataFileIsAnError) {
    std::ofstream(File("junk.tdf"), std::ios::binary) << "not a data file";
    const CliOutput output = Run({"import", path, File("junk.tdf")});
    EXPECT_EQ(output.status, 2);
    EXPECT_NE(output.err.find("junk.tdf"), std::string::npos);
    EXPECT_EQ(Run({"import", path, File("absent.tdf")}).status, 2);
    EXPECT_EQ(Run({"import", path, directory.string()}).status, 2);
    EXPECT_EQ(Run({"import", "--raw", path, directory.string()}).status, 2);
    EXPECT_EQ(Run({"export", path, (directory / "no" / "such" / "dir.tdf").string()}).status, 2);
}

TEST_F(DataFileCommandsTest, RawExportIsThePlainImage) {
    ASSERT_EQ(Run({"export", "--raw", path, File("config.bin")}).status, 0);
    const std::vector<std::uint8_t> expected = {0xFE, 0xCA, 0x00, 0x00, 'c', 'o',
                                                'n',  'f',  'i',  'g',  0,   0xFF};
    EXPECT_EQ(FileBytes(File("config.bin")), expected);
}

TEST_F(DataFileCommandsTest, RawImportFillsFromTheFirstAddressAndRefusesALongerFile) {
    std::ofstream(File("short.bin"), std::ios::binary) << "\x01\x02\x03\x04";
    ASSERT_EQ(Run({"import", "--raw", path, File("short.bin")}).status, 0);
    EXPECT_EQ(Run({"get", path, "Serial", "Label"}).out, "4030201\nconfig\n");

    std::ofstream(File("long.bin"), std::ios::binary) << std::string(13, 'x');
    const CliOutput output = Run({"import", "--raw", path, File("long.bin")});
    EXPECT_EQ(output.status, 2);
    EXPECT_NE(output.err.find("13 bytes, more than the 12 of unit Config"), std::string::npos) << output.err;
    EXPECT_EQ(Run({"get", path, "Serial"}).out, "4030201\n");
}

}  // namespace
}  // namespace tessaly::test
