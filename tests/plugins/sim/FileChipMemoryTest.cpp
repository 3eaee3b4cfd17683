#include "plugins/sim/FileChipMemory.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "SimSandbox.h"

namespace tessaly {
namespace {

using test::ReadBytes;
using test::SimSandbox;
using test::WriteBytes;

std::string ReadAll(ChipMemory& memory, std::uint32_t offset, std::uint32_t size) {
    std::string bytes(size, '\0');
    EXPECT_TRUE(memory.Read(offset, std::span{reinterpret_cast<std::uint8_t*>(bytes.data()), size}));
    return bytes;
}

TEST(FileChipMemory, NewChipIsErasedWithAFileOfItsSize) {
    SimSandbox sandbox;
    const auto path = sandbox.Root() / "new" / "directories" / "24C01.bin";
    const auto memory = FileChipMemory::Open(path, 128);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(ReadBytes(path), std::string(128, '\xFF'));
    EXPECT_EQ(ReadAll(*memory, 0, 128), std::string(128, '\xFF'));
}

TEST(FileChipMemory, WritesReachTheFileAtOnce) {
    SimSandbox sandbox;
    const auto path = sandbox.Root() / "24C01.bin";
    const auto memory = FileChipMemory::Open(path, 128);
    ASSERT_NE(memory, nullptr);
    const std::array<std::uint8_t, 3> bytes{1, 2, 3};
    ASSERT_TRUE(memory->Write(126, std::span{bytes}.first(2)));
    ASSERT_TRUE(memory->Write(0, std::span{bytes}.last(1)));
    const std::string file = ReadBytes(path);
    ASSERT_EQ(file.size(), 128u);
    EXPECT_EQ(file.substr(126), std::string("\x01\x02", 2));
    EXPECT_EQ(file.substr(0, 2), std::string("\x03\xFF", 2));
}

TEST(FileChipMemory, TwoOpeningsOfOneFileSeeEachOthersWrites) {
    SimSandbox sandbox;
    const auto path = sandbox.Root() / "24C01.bin";
    const auto first = FileChipMemory::Open(path, 128);
    const auto second = FileChipMemory::Open(path, 128);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const std::array<std::uint8_t, 2> bytes{0x12, 0x34};
    ASSERT_TRUE(first->Write(40, bytes));
    EXPECT_EQ(ReadAll(*second, 40, 2), "\x12\x34");
}

TEST(FileChipMemory, ExistingContentsAreKept) {
    SimSandbox sandbox;
    const auto path = sandbox.Root() / "24C01.bin";
    std::string contents(128, '\0');
    for (std::size_t i = 0; i < contents.size(); ++i) {
        contents[i] = static_cast<char>(i * 3);
    }
    WriteBytes(path, contents);
    const auto memory = FileChipMemory::Open(path, 128);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(ReadAll(*memory, 0, 128), contents);
}

TEST(FileChipMemory, ShortFileIsExtendedWithErasedBytes) {
    SimSandbox sandbox;
    const auto path = sandbox.Root() / "24C01.bin";
    WriteBytes(path, std::string(10, '\0'));
    const auto memory = FileChipMemory::Open(path, 128);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(ReadBytes(path), std::string(10, '\0') + std::string(118, '\xFF'));
    EXPECT_EQ(ReadAll(*memory, 8, 4), std::string("\0\0\xFF\xFF", 4));
}

TEST(FileChipMemory, LongFileKeepsWhatLiesBeyondTheChip) {
    SimSandbox sandbox;
    const auto path = sandbox.Root() / "24C01.bin";
    const std::string contents = std::string(128, 'a') + std::string(100, 'b');
    WriteBytes(path, contents);
    const auto memory = FileChipMemory::Open(path, 128);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(ReadAll(*memory, 120, 8), std::string(8, 'a'));
    const std::array<std::uint8_t, 1> byte{'c'};
    ASSERT_TRUE(memory->Write(127, byte));
    EXPECT_EQ(ReadBytes(path), std::string(127, 'a') + "c" + std::string(100, 'b'));
}

TEST(FileChipMemory, FileCutShortByOthersReadsErased) {
    SimSandbox sandbox;
    const auto path = sandbox.Root() / "24C01.bin";
    const auto memory = FileChipMemory::Open(path, 128);
    ASSERT_NE(memory, nullptr);
    WriteBytes(path, "xy");
    EXPECT_EQ(ReadAll(*memory, 0, 4), "xy\xFF\xFF");
    EXPECT_EQ(ReadAll(*memory, 100, 2), "\xFF\xFF");
}

TEST(FileChipMemory, RefusesWhatIsNotARegularFile) {
    SimSandbox sandbox;
    const auto directory = sandbox.Root() / "24C01.bin";
    std::filesystem::create_directories(directory);
    EXPECT_EQ(FileChipMemory::Open(directory, 128), nullptr);
    const auto fifo = sandbox.Root() / "24C02.bin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(FileChipMemory::Open(fifo, 256), nullptr);
}

TEST(FileChipMemory, RefusesAPathBelowAFile) {
    SimSandbox sandbox;
    WriteBytes(sandbox.Root() / "plain", "x");
    EXPECT_EQ(FileChipMemory::Open(sandbox.Root() / "plain" / "24C01.bin", 128), nullptr);
}

}  // namespace
}  // namespace tessaly
