#include "plugins/sim/FileChipMemory.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "SimulatorSandbox.h"

namespace tessaly {
namespace {

using test::ReadBytes;
using test::SimulatorSandbox;
using test::WriteBytes;

// A 24C01's memory in a file of the sandbox.
class FileChipMemoryTest : public ::testing::Test {
  protected:
    void Open() {
        memory_ = FileChipMemory::Open(path_, 128);
        ASSERT_NE(memory_, nullptr);
    }

    std::string ReadAll(std::uint32_t offset, std::uint32_t size) {
        std::string bytes(size, '\0');
        EXPECT_TRUE(memory_->Read(offset, std::span{reinterpret_cast<std::uint8_t*>(bytes.data()), size}));
        return bytes;
    }

    SimulatorSandbox sandbox_;
    std::filesystem::path path_ = sandbox_.Root() / "24C01.bin";
    std::unique_ptr<ChipMemory> memory_;
};

TEST_F(FileChipMemoryTest, NewChipIsErasedWithAFileOfItsSize) {
    path_ = sandbox_.Root() / "new" / "directories" / "24C01.bin";
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(ReadBytes(path_), std::string(128, '\xFF'));
    EXPECT_EQ(ReadAll(0, 128), std::string(128, '\xFF'));
}

TEST_F(FileChipMemoryTest, WritesReachTheFileAtOnce) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::array<std::uint8_t, 3> bytes{1, 2, 3};
    ASSERT_TRUE(memory_->Write(126, std::span{bytes}.first(2)));
    ASSERT_TRUE(memory_->Write(0, std::span{bytes}.last(1)));
    const std::string file = ReadBytes(path_);
    ASSERT_EQ(file.size(), 128u);
    EXPECT_EQ(file.substr(126), std::string("\x01\x02", 2));
    EXPECT_EQ(file.substr(0, 2), std::string("\x03\xFF", 2));
}

TEST_F(FileChipMemoryTest, TwoOpeningsOfOneFileSeeEachOthersWrites) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const auto other = FileChipMemory::Open(path_, 128);
    ASSERT_NE(other, nullptr);
    const std::array<std::uint8_t, 2> bytes{0x12, 0x34};
    ASSERT_TRUE(other->Write(40, bytes));
    EXPECT_EQ(ReadAll(40, 2), "\x12\x34");
}

TEST_F(FileChipMemoryTest, ShortFileKeepsItsContentsAndIsExtendedWithErasedBytes) {
    WriteBytes(path_, "abcdefghij");
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(ReadBytes(path_), "abcdefghij" + std::string(118, '\xFF'));
    EXPECT_EQ(ReadAll(8, 4), "ij\xFF\xFF");
}

TEST_F(FileChipMemoryTest, LongFileKeepsWhatLiesBeyondTheChip) {
    WriteBytes(path_, std::string(128, 'a') + std::string(100, 'b'));
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(ReadAll(120, 8), std::string(8, 'a'));
    const std::array<std::uint8_t, 1> byte{'c'};
    ASSERT_TRUE(memory_->Write(127, byte));
    EXPECT_EQ(ReadBytes(path_), std::string(127, 'a') + "c" + std::string(100, 'b'));
}

TEST_F(FileChipMemoryTest, FileCutShortByOthersReadsErased) {
    ASSERT_NO_FATAL_FAILURE(Open());
    WriteBytes(path_, "xy");
    EXPECT_EQ(ReadAll(0, 4), "xy\xFF\xFF");
    EXPECT_EQ(ReadAll(100, 2), "\xFF\xFF");
}

TEST_F(FileChipMemoryTest, RefusesWhatIsNotARegularFileOrLiesBelowAFile) {
    std::filesystem::create_directories(path_);
    EXPECT_EQ(FileChipMemory::Open(path_, 128), nullptr);
    const auto fifo = sandbox_.Root() / "24C02.bin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(FileChipMemory::Open(fifo, 256), nullptr);
    WriteBytes(sandbox_.Root() / "plain", "x");
    EXPECT_EQ(FileChipMemory::Open(sandbox_.Root() / "plain" / "24C01.bin", 128), nullptr);
}

}  // namespace
}  // namespace tessaly
