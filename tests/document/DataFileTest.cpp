#include "document/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "document/DataTransfer.h"
#include "document/MemoryStream.h"
#include "engine/TemplateHeap.h"

namespace tessaly {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::RecordingPrompt;

// A unit over first..last with its data image filled with fill.
struct TestUnit {
    TestUnit(const std::string& name, std::uint32_t first, std::uint32_t last, std::uint8_t fill = 0) {
        unit.Init(heap.CopyText(name), BusKind::I2C8, 0, 0, heap.NewArray<TemplateItem*>(1), 1);
        unit.start = first;
        unit.end = last;
        image.assign(unit.ImageSize(), fill);
        unit.dataImage = image.data();
    }

    TemplateHeap heap;
    Unit unit;
    Bytes image;
};

Bytes Exported(const Unit& unit) {
    MemoryStream file;
    EXPECT_TRUE(ExportUnit(unit, file));
    return file.bytes;
}

// Imports bytes into unit; the prompt records any question.
bool Import(TestUnit& unit, const Bytes& bytes, RecordingPrompt& prompt) {
    MemoryStream file(bytes);
    return ImportUnit(unit.unit, file, prompt);
}

// Stops writing after a number of bytes, as a full disk does.
class FullDiskStream : public MemoryStream {
  public:
    explicit FullDiskStream(std::size_t limit) : limit_(limit) {}
    std::size_t Write(const std::uint8_t* data, std::size_t size) override {
        return MemoryStream::Write(data, std::min(size, Position() < limit_ ? limit_ - Position() : 0));
    }

  private:
    std::size_t limit_;
};

// The header (signature, format, unit count, current name) and one record (name, 16-bit length, bytes);
// a full disk makes the export fail.
TEST(DataFileTest, ExportWritesTheKnownLayout) {
    const std::string name = "EEPROM" + std::string(kDataFileNameSize - 6, '\0');
    const std::string expected = std::string("VRD\0\x01\0\0\0\0\0\x01\0", 12) + name + name +
                                 std::string("\0\x01", 2) + std::string(256, '\x5A');
    const TestUnit unit("EEPROM", 0x00, 0xFF, 0x5A);
    EXPECT_EQ(Exported(unit.unit), Bytes(expected.begin(), expected.end()));
    for (std::size_t limit : {0u, 30u, 60u, 100u, 173u}) {
        FullDiskStream file(limit);
        EXPECT_FALSE(ExportUnit(unit.unit, file)) << "a disk full after " << limit << " bytes";
    }
}

// A unit of the whole 16-bit address space needs 32-bit record lengths.
TEST(DataFileTest, ImportReadsBackWhatExportWrote) {
    for (const auto& [first, last] : {std::pair{0x10u, 0x4Fu}, std::pair{0u, 0xFFFFu}}) {
        TestUnit original("Config", first, last);
        for (std::size_t i = 0; i < original.image.size(); ++i) {
            original.image[i] = static_cast<std::uint8_t>(i * 7);
        }
        const Bytes bytes = Exported(original.unit);
        const bool wide = original.image.size() > 0xFFFF;
        EXPECT_EQ(bytes[4], wide ? kDataFileWideFormat : kDataFileFormat);
        EXPECT_EQ(bytes.size(), 60u + 48u + (wide ? 4u : 2u) + original.image.size());
        TestUnit copy("Config", first, last, 0xFF);
        RecordingPrompt prompt;
        ASSERT_TRUE(Import(copy, bytes, prompt));
        EXPECT_EQ(copy.image, original.image);
        EXPECT_TRUE(prompt.questions.empty());
        EXPECT_EQ(Exported(copy.unit), bytes);
    }
}

// A unit reads the record of its name, skipping the others; without one its image stays as it was. A
// shorter record fills only its bytes, a longer one only the unit's. A file cut in its header, in a
// record's header or in its data is refused.
TEST(DataFileTest, ReadUnitFindsTheRecordByName) {
    TestUnit a("A", 0, 3, 0xAA);
    TestUnit b("B", 0, 7, 0xBB);
    const Unit* units[] = {&a.unit, &b.unit};
    for (const std::uint16_t count : {2, 0}) {
        MemoryStream file;
        ASSERT_TRUE(WriteDataFile(file, units, count, "B"));
        DataFile data(file);
        ASSERT_TRUE(data.ReadHeader());
        EXPECT_EQ(data.GetUnitName(), "B");
        TestUnit target("B", 0, 7, 0x11);
        EXPECT_EQ(data.ReadUnit(target.unit), count == 2);
        EXPECT_EQ(target.image, Bytes(8, count == 2 ? 0xBB : 0x11));
        TestUnit missing("C", 0, 7, 0x11);
        EXPECT_FALSE(data.ReadUnit(missing.unit));
        EXPECT_EQ(missing.image, Bytes(8, 0x11));
    }
    RecordingPrompt prompt;
    TestUnit target("U", 0, 3, 0x11);
    ASSERT_TRUE(Import(target, Exported(TestUnit("U", 0, 1, 0x22).unit), prompt));
    EXPECT_EQ(target.image, (Bytes{0x22, 0x22, 0x11, 0x11}));
    ASSERT_TRUE(Import(target, Exported(TestUnit("U", 0, 9, 0x33).unit), prompt));
    EXPECT_EQ(target.image, Bytes(4, 0x33));

    const Bytes whole = Exported(TestUnit("U", 0, 0xF, 0x44).unit);
    TestUnit full("U", 0, 0xF);
    for (const std::size_t length : {59u, 80u, 115u}) {
        MemoryStream file(Bytes(whole.begin(), whole.begin() + length));
        DataFile data(file);
        EXPECT_FALSE(data.ReadHeader() && data.ReadUnit(full.unit)) << length;
    }
}

// Names are kept to 47 bytes and compared on those; a name field without its terminator reads as 47 bytes.
TEST(DataFileTest, LongNamesKeep47Bytes) {
    const std::string longName(60, 'n');
    TestUnit target(longName, 0, 3);
    RecordingPrompt prompt;
    Bytes bytes = Exported(TestUnit(longName + "x", 0, 3, 0x66).unit);
    ASSERT_TRUE(Import(target, bytes, prompt));
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(target.image, Bytes(4, 0x66));
    std::fill(bytes.begin() + 12, bytes.begin() + 60, 'x');
    MemoryStream file(bytes);
    DataFile data(file);
    ASSERT_TRUE(data.ReadHeader());
    EXPECT_EQ(data.GetUnitName(), std::string(47, 'x'));
}

// Loading the data changes only the unit's values, so Yes is the question's default; Yes takes the first
// record whatever its name. A file without the signature is not read at all.
TEST(DataFileTest, ImportOfAnotherUnitAsksFirst) {
    const Bytes bytes = Exported(TestUnit("Other", 0, 7, 0x77).unit);
    for (const bool yes : {false, true}) {
        TestUnit mine("Mine", 0, 3, 0x11);
        RecordingPrompt prompt(yes);
        EXPECT_EQ(Import(mine, bytes, prompt), yes);
        ASSERT_EQ(prompt.questions.size(), 1u);
        EXPECT_EQ(prompt.questions[0].text,
                  "Profile name in file not match local profile!\nDo you realy want to load data?");
        EXPECT_EQ(prompt.questions[0].preset, PromptAnswer::Yes);
        EXPECT_EQ(mine.image, Bytes(4, yes ? 0x77 : 0x11));
    }
    Bytes unsigned_ = bytes;
    unsigned_[0] = 'X';
    TestUnit mine("Mine", 0, 3, 0x11);
    RecordingPrompt prompt(true);
    EXPECT_FALSE(Import(mine, unsigned_, prompt)) << "a file without the signature is no data file";
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(mine.image, Bytes(4, 0x11));
}

TEST(DataFileTest, ExportAndImportThroughFiles) {
    test::TempDirectory directory;
    const std::string path = (directory.Path() / "disk.tdf").string();
    TestUnit unit("Disk", 0, 0x1F, 0x42);
    ASSERT_TRUE(ExportUnitToFile(unit.unit, path));
    TestUnit target("Disk", 0, 0x1F);
    RecordingPrompt prompt;
    EXPECT_TRUE(ImportUnitFromFile(target.unit, path, prompt));
    EXPECT_EQ(target.image, unit.image);
    EXPECT_FALSE(ImportUnitFromFile(target.unit, path + ".missing", prompt));
    EXPECT_FALSE(ExportUnitToFile(unit.unit, path + "/nowhere.tdf"));
}

// Intel HEX, S-record and raw binary files: the bytes a good file gives land at their device addresses (here
// AB CD at 0x82), and a damaged file stores nothing and names its line or address.
struct RecordFileCase {
    DataFormat format;
    std::string contents;
    RecordFileError error;
    std::uint32_t where;
};

const RecordFileCase kRecordFiles[] = {
    {DataFormat::IntelHex, ":02008200ABCD04\n:00000001FF\n", RecordFileError::None, 0},
    {DataFormat::SRecord, "S1050082ABCD00\nS9030000FC\n", RecordFileError::None, 0},
    {DataFormat::RawBinary, "\x5A\x5A\xAB\xCD", RecordFileError::None, 0},  // from the unit's first address
    {DataFormat::IntelHex, ":000081007F\n:02008200ABCD04\n:00000001FF\n", RecordFileError::None, 0},
    {DataFormat::RawBinary, std::string(kLargestRecordFile + 1, '\xAB'), RecordFileError::Unreadable, 0},
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
    TestUnit high("High", 0x80, 0x8F, 0x5A);
    const RecordFileResult result = ReadRecordFile(high.unit, GetParam().contents, GetParam().format);
    EXPECT_EQ(result.error, GetParam().error) << result.detail;
    EXPECT_EQ(result.where, GetParam().where);
    Bytes expected(16, 0x5A);
    if (GetParam().error == RecordFileError::None) {
        expected[2] = 0xAB;
        expected[3] = 0xCD;
    }
    EXPECT_EQ(high.image, expected);
}

INSTANTIATE_TEST_SUITE_P(Files, RecordFileTest, ::testing::ValuesIn(kRecordFiles));

}  // namespace
}  // namespace tessaly
