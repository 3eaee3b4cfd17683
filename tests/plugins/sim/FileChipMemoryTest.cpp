#include "plugins/sim/FileChipMemory.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "TestFiles.h"

namespace tessaly {
namespace {

using test::ReadBytes;
using test::WriteBytes;

// The memory of a 24C01 (128 bytes) in a file.
class FileChipMemoryTest : public ::testing::Test {
  protected:
    std::string Read(std::uint32_t offset, std::uint32_t size) {
        std::string bytes(size, '\0');
        EXPECT_TRUE(memory->Read(offset, std::span{reinterpret_cast<std::uint8_t*>(bytes.data()), size}));
        return bytes;
    }

    test::TempDirectory directory;
    std::filesystem::path path = directory.Path() / "new" / "24C01.bin";
    std::unique_ptr<ChipMemory> memory;
};

TEST_F(FileChipMemoryTest, ANewChipIsAnErasedFileThatWritesReachAtOnceAndOtherOpeningsSee) {
    memory = FileChipMemory::Open(path, 128);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(ReadBytes(path), std::string(128, '\xFF'));
    const std::array<std::uint8_t, 3> bytes{1, 2, 3};
    ASSERT_TRUE(memory->Write(126, std::span{bytes}.first(2)));
    ASSERT_TRUE(FileChipMemory::Open(path, 128)->Write(0, std::span{bytes}.last(1)));
    EXPECT_EQ(ReadBytes(path), "\x03" + std::string(125, '\xFF') + "\x01\x02");
    EXPECT_EQ(Read(0, 2), "\x03\xFF");
    WriteBytes(path, "xy");
    EXPECT_EQ(Read(0, 4), "xy\xFF\xFF") << "a file cut short by others reads erased";
}

// A short file is extended with erased bytes; what lies beyond the chip in a long one stays.
TEST_F(FileChipMemoryTest, AnExistingFileKeepsItsContents) {
    WriteBytes(path, "abcdefghij");
    memory = FileChipMemory::Open(path, 128);
    EXPECT_EQ(ReadBytes(path), "abcdefghij" + std::string(118, '\xFF'));
    WriteBytes(path, std::string(128, 'a') + std::string(100, 'b'));
    memory = FileChipMemory::Open(path, 128);
    const std::array<std::uint8_t, 1> byte{'c'};
    ASSERT_TRUE(memory->Write(127, byte));
    EXPECT_EQ(ReadBytes(path), std::string(127, 'a') + "c" + std::string(100, 'b'));
}

TEST_F(FileChipMemoryTest, RefusesWhatIsNotARegularFileOrLiesBelowAFile) {
    std::filesystem::create_directories(path);
    EXPECT_EQ(FileChipMemory::Open(path, 128), nullptr);
    const auto fifo = directory.Path() / "24C02.bin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(FileChipMemory::Open(fifo, 256), nullptr);
    WriteBytes(directory.Path() / "plain", "x");
    EXPECT_EQ(FileChipMemory::Open(directory.Path() / "plain" / "24C01.bin", 128), nullptr);
}

}  // namespace
}  // namespace tessaly
