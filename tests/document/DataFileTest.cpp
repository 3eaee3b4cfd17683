#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "RecordingPrompt.h"
#include "document/DataFile.h"
#include "document/DataTransfer.h"
#include "document/MemoryStream.h"
#include "engine/TemplateHeap.h"

namespace tessaly {
namespace {

// Stops writing after a number of bytes, as a full disk does.
class FullDiskStream : public MemoryStream {
  public:
    explicit FullDiskStream(std::size_t limit) : limit_(limit) {}
    std::size_t Write(const std::uint8_t* data, std::size_t size) override {
        const std::size_t room = Position() < limit_ ? limit_ - Position() : 0;
        return MemoryStream::Write(data, std::min(size, room));
    }

  private:
    std::size_t limit_;
};

// A unit over first..last with its data image filled with fill.
class TestUnit {
  public:
    TestUnit(const std::string& name, std::uint32_t first, std::uint32_t last, std::uint8_t fill = 0) {
        unit.Init(heap.CopyText(name), BusKind::I2C8, 0, 0, heap.NewArray<TemplateItem*>(1), 1);
        unit.start = first;
        unit.end = last;
        image.assign(unit.ImageSize(), fill);
        unit.dataImage = image.data();
    }

    TemplateHeap heap;
    Unit unit;
    std::vector<std::uint8_t> image;
};

using test::RecordingPrompt;

std::vector<std::uint8_t> Exported(const Unit& unit) {
    MemoryStream file;
    EXPECT_TRUE(ExportUnit(unit, file));
    return file.bytes;
}

TEST(ExportTest, WholeUnitOf256BytesHasTheKnownLayout) {
    TestUnit eeprom("EEPROM", 0x00, 0xFF, 0x5A);
    const std::vector<std::uint8_t> bytes = Exported(eeprom.unit);
    ASSERT_EQ(bytes.size(), 366u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), std::string("VRD\0", 4));
    EXPECT_EQ(bytes[4], 1);
    EXPECT_EQ(bytes[5], 0);
    EXPECT_EQ(bytes[10], 0x01);
    EXPECT_EQ(bytes[11], 0x00);
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 18), "EEPROM");
    EXPECT_EQ(bytes[59], 0);
    EXPECT_EQ(std::string(bytes.begin() + 60, bytes.begin() + 66), "EEPROM");
    EXPECT_EQ(bytes[108], 0x00);
    EXPECT_EQ(bytes[109], 0x01);
    EXPECT_EQ(bytes[110], 0x5A);
    EXPECT_EQ(bytes[365], 0x5A);
}

TEST(ExportTest, ReadBackGivesTheSameImageAndTheSameFile) {
    TestUnit original("Config", 0x10, 0x4F);
    for (std::size_t i = 0; i < original.image.size(); ++i) {
        original.image[i] = static_cast<std::uint8_t>(i * 7);
    }
    const std::vector<std::uint8_t> first = Exported(original.unit);
    TestUnit copy("Config", 0x10, 0x4F, 0xFF);
    MemoryStream file(first);
    RecordingPrompt prompt(false);
    ASSERT_TRUE(ImportUnit(copy.unit, file, prompt));
    EXPECT_EQ(copy.image, original.image);
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(Exported(copy.unit), first);
}

TEST(ExportTest, FullAddressSpaceUsesWideRecords) {
    TestUnit whole("Whole", 0x0000, 0xFFFF);
    whole.image[0xFFFF] = 0xA5;
    const std::vector<std::uint8_t> bytes = Exported(whole.unit);
    ASSERT_EQ(bytes.size(), 60u + 52u + 65536u);
    EXPECT_EQ(bytes[4], kDataFileWideFormat);
    EXPECT_EQ(bytes[108], 0x00);
    EXPECT_EQ(bytes[110], 0x01);
    TestUnit copy("Whole", 0x0000, 0xFFFF);
    MemoryStream file(bytes);
    RecordingPrompt prompt(false);
    ASSERT_TRUE(ImportUnit(copy.unit, file, prompt));
    EXPECT_EQ(copy.image[0xFFFF], 0xA5);
}

TEST(ExportTest, FullDiskMakesTheWriteFail) {
    TestUnit unit("U", 0, 0x3F);
    for (std::size_t limit : {0u, 30u, 60u, 100u, 173u}) {
        FullDiskStream file(limit);
        EXPECT_FALSE(ExportUnit(unit.unit, file)) << limit;
    }
}

TEST(ReadUnitTest, RecordsAreFoundByNameAndOthersSkipped) {
    TestUnit a("A", 0, 3, 0xAA);
    TestUnit b("B", 0, 7, 0xBB);
    const Unit* units[] = {&a.unit, &b.unit};
    MemoryStream file;
    ASSERT_TRUE(WriteDataFile(file, units, 2, "B"));
    TestUnit target("B", 0, 7);
    DataFile data(file);
    ASSERT_TRUE(data.ReadHeader());
    EXPECT_EQ(data.GetUnitName(), "B");
    EXPECT_TRUE(data.ReadUnit(target.unit));
    EXPECT_EQ(target.image, std::vector<std::uint8_t>(8, 0xBB));
    TestUnit missing("C", 0, 7, 0x11);
    EXPECT_FALSE(data.ReadUnit(missing.unit));
    EXPECT_EQ(missing.image, std::vector<std::uint8_t>(8, 0x11));
}

TEST(ReadUnitTest, ZeroRecordsChangesNothing) {
    TestUnit unit("U", 0, 3, 0x11);
    MemoryStream file;
    ASSERT_TRUE(WriteDataFile(file, nullptr, 0, "U"));
    DataFile data(file);
    ASSERT_TRUE(data.ReadHeader());
    EXPECT_FALSE(data.ReadUnit(unit.unit));
    EXPECT_EQ(unit.image, std::vector<std::uint8_t>(4, 0x11));
}

TEST(ReadUnitTest, ShorterRecordFillsOnlyItsBytesAndLongerOneOnlyTheUnit) {
    TestUnit shortUnit("U", 0, 1, 0x22);
    TestUnit longUnit("U", 0, 9, 0x33);
    MemoryStream shortFile(Exported(shortUnit.unit));
    MemoryStream longFile(Exported(longUnit.unit));
    RecordingPrompt prompt(false);

    TestUnit target("U", 0, 3, 0x11);
    ASSERT_TRUE(ImportUnit(target.unit, shortFile, prompt));
    EXPECT_EQ(target.image, (std::vector<std::uint8_t>{0x22, 0x22, 0x11, 0x11}));
    ASSERT_TRUE(ImportUnit(target.unit, longFile, prompt));
    EXPECT_EQ(target.image, std::vector<std::uint8_t>(4, 0x33));
}

// Cut inside the record header and inside the record's data.
TEST(ReadUnitTest, TruncatedFilesFail) {
    TestUnit unit("U", 0, 0xF, 0x44);
    const std::vector<std::uint8_t> whole = Exported(unit.unit);
    for (const std::size_t length : {80u, 115u}) {
        MemoryStream file(std::vector<std::uint8_t>(whole.begin(), whole.begin() + length));
        DataFile data(file);
        ASSERT_TRUE(data.ReadHeader());
        TestUnit target("U", 0, 0xF, 0);
        EXPECT_FALSE(data.ReadUnit(target.unit)) << length;
    }
    MemoryStream headerOnly(std::vector<std::uint8_t>(whole.begin(), whole.begin() + 59));
    EXPECT_FALSE(DataFile(headerOnly).ReadHeader());
}

TEST(ReadUnitTest, LongNamesMatchOnTheirKeptCharacters) {
    const std::string longName(60, 'n');
    TestUnit unit(longName, 0, 3, 0x66);
    MemoryStream file(Exported(unit.unit));
    TestUnit target(longName, 0, 3, 0);
    RecordingPrompt prompt(false);
    ASSERT_TRUE(ImportUnit(target.unit, file, prompt));
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(target.image, std::vector<std::uint8_t>(4, 0x66));
}

TEST(ReadHeaderTest, NameFieldWithoutTerminatorKeeps47Characters) {
    TestUnit unit("U", 0, 3, 0x11);
    std::vector<std::uint8_t> bytes = Exported(unit.unit);
    std::fill(bytes.begin() + 12, bytes.begin() + 60, 'x');
    MemoryStream file(bytes);
    DataFile data(file);
    ASSERT_TRUE(data.ReadHeader());
    EXPECT_EQ(data.GetUnitName(), std::string(47, 'x'));
}

// Loading the data changes only the unit's values, so Yes is the question's default.
TEST(ImportTest, OtherNameAsksAndYesTakesTheFirstRecord) {
    TestUnit other("Other", 0, 7, 0x77);
    const std::vector<std::uint8_t> bytes = Exported(other.unit);

    TestUnit declined("Mine", 0, 3, 0x11);
    MemoryStream file(bytes);
    RecordingPrompt no(false);
    EXPECT_FALSE(ImportUnit(declined.unit, file, no));
    ASSERT_EQ(no.questions.size(), 1u);
    EXPECT_EQ(no.questions[0].text,
              "Profile name in file not match local profile!\nDo you realy want to load data?");
    EXPECT_EQ(no.questions[0].preset, PromptAnswer::Yes);
    EXPECT_EQ(declined.image, std::vector<std::uint8_t>(4, 0x11));

    TestUnit accepted("Mine", 0, 3, 0x11);
    RecordingPrompt yes(true);
    EXPECT_TRUE(ImportUnit(accepted.unit, file, yes));
    EXPECT_EQ(accepted.image, std::vector<std::uint8_t>(4, 0x77));
}

TEST(ImportTest, FileWithoutSignatureIsIgnored) {
    TestUnit unit("U", 0, 3, 0x11);
    std::vector<std::uint8_t> bytes = Exported(unit.unit);
    bytes[0] = 'X';
    MemoryStream file(bytes);
    RecordingPrompt prompt(true);
    EXPECT_FALSE(ImportUnit(unit.unit, file, prompt));
    EXPECT_TRUE(prompt.questions.empty());
}

TEST(DataFileOnDiskTest, ExportAndImportThroughFiles) {
    const auto path =
        std::filesystem::temp_directory_path() / ("tessaly-datafile-" + std::to_string(getpid()) + ".tdf");
    TestUnit unit("Disk", 0, 0x1F, 0x42);
    ASSERT_TRUE(ExportUnitToFile(unit.unit, path.string()));
    EXPECT_EQ(std::filesystem::file_size(path), 60u + 50u + 32u);
    TestUnit target("Disk", 0, 0x1F, 0);
    RecordingPrompt prompt(false);
    EXPECT_TRUE(ImportUnitFromFile(target.unit, path.string(), prompt));
    EXPECT_EQ(target.image, unit.image);
    std::filesystem::remove(path);
    EXPECT_FALSE(ImportUnitFromFile(target.unit, path.string(), prompt));
    EXPECT_FALSE(ExportUnitToFile(unit.unit, (path / "nowhere.tdf").string()));
}

}  // namespace
}  // namespace tessaly
