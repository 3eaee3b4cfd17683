#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "EmulatedEeprom.h"
#include "plugins/i2cdev/Eeprom24.h"

namespace tessaly {
namespace {

using test::EmulatedEeprom;
using Segment = EmulatedEeprom::Segment;

std::vector<std::uint8_t> Counting(std::size_t count, std::uint8_t first = 0) {
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

TEST(Eeprom24Test, AReadIsOneCombinedTransferAndAWriteOneMessage) {
    EmulatedEeprom chip({.size = 256, .pageSize = 8});
    chip.memory = Counting(256);
    Eeprom24 eeprom(chip, {0x50, 8, false});
    std::vector<std::uint8_t> buffer(8);
    std::uint32_t done = 99;
    EXPECT_EQ(eeprom.Read(0x18, buffer, done), Status::Ok);
    EXPECT_EQ(done, 8u);
    EXPECT_EQ(buffer, Counting(8, 0x18));
    EXPECT_EQ(chip.log.back(), (std::vector<Segment>{{0x50, false, 1}, {0x50, true, 8}}));

    const std::vector<std::uint8_t> data = Counting(8, 0xA0);
    EXPECT_EQ(eeprom.Write(0x20, data, done), Status::Ok);
    EXPECT_EQ(done, 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(chip.memory.begin() + 0x20, chip.memory.begin() + 0x28), data);
    EXPECT_EQ(chip.log.back(), (std::vector<Segment>{{0x50, false, 9}}));
    EXPECT_EQ(chip.log.size(), 2u);
}

// No transfer crosses the end of the port's page; with a page of one, writes go byte by byte.
TEST(Eeprom24Test, TransfersStopAtThePageOrBlockEnd) {
    struct Case {
        std::uint32_t pageSize;
        bool write;
        std::uint32_t address;
        std::uint32_t length;
        std::uint32_t done;
    };
    for (const Case& c :
         {Case{8, true, 0x0C, 8, 4}, Case{16, false, 0x0A, 100, 6}, Case{1, true, 0x05, 4, 1}}) {
        SCOPED_TRACE(c.address);
        EmulatedEeprom chip({.size = 256, .pageSize = c.pageSize});
        Eeprom24 eeprom(chip, {0x50, c.pageSize, false});
        std::vector<std::uint8_t> buffer = Counting(c.length, 0x10);
        std::uint32_t done = 0;
        ASSERT_EQ(c.write ? eeprom.Write(c.address, buffer, done) : eeprom.Read(c.address, buffer, done),
                  Status::Ok);
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(chip.log.back().back().length, (c.write ? 1 : 0) + c.done);
        if (c.write) {
            EXPECT_EQ(chip.memory[c.address], 0x10);
            EXPECT_EQ(chip.memory[c.address + c.done], 0xFF);
        }
    }
}

TEST(Eeprom24Test, A24C16TakesAddressBits8To10InTheDeviceAddress) {
    EmulatedEeprom chip({.size = 2048, .pageSize = 16});
    Eeprom24 eeprom(chip, {0x50, 16, false});
    const std::vector<std::uint8_t> data = Counting(16, 0x40);
    std::uint32_t done = 0;
    ASSERT_EQ(eeprom.Write(0x7F0, data, done), Status::Ok);
    EXPECT_EQ(chip.log.back()[0].address, 0x57);
    EXPECT_EQ(std::vector<std::uint8_t>(chip.memory.begin() + 0x7F0, chip.memory.end()), data);

    std::vector<std::uint8_t> buffer(16);
    ASSERT_EQ(eeprom.Read(0x3F0, buffer, done), Status::Ok);
    EXPECT_EQ(chip.log.back()[0].address, 0x53);
    EXPECT_EQ(chip.log.back()[1].address, 0x53);
}

TEST(Eeprom24Test, A24C256Takes16BitWordAddresses) {
    EmulatedEeprom chip({.size = 32768, .pageSize = 64, .wideAddresses = true});
    Eeprom24 eeprom(chip, {0x50, 64, true});
    const std::vector<std::uint8_t> data = Counting(64, 1);
    std::uint32_t done = 0;
    ASSERT_EQ(eeprom.Write(0x7FC0, data, done), Status::Ok);
    EXPECT_EQ(done, 64u);
    EXPECT_EQ(chip.log.back(), (std::vector<Segment>{{0x50, false, 66}}));
    EXPECT_EQ(std::vector<std::uint8_t>(chip.memory.begin() + 0x7FC0, chip.memory.end()), data);

    std::vector<std::uint8_t> buffer(64);
    ASSERT_EQ(eeprom.Read(0x7FC0, buffer, done), Status::Ok);
    EXPECT_EQ(buffer, data);
    EXPECT_EQ(chip.log.back(), (std::vector<Segment>{{0x50, false, 2}, {0x50, true, 64}}));
}

TEST(Eeprom24Test, AChipInItsWriteCycleFailsReadsAndWritesWithNothingDoneUntilItIsReady) {
    EmulatedEeprom chip({.size = 256, .pageSize = 8});
    chip.writeCycleTransfers = 3;
    Eeprom24 eeprom(chip, {0x50, 8, false});
    std::uint32_t done = 0;
    ASSERT_EQ(eeprom.Write(0x00, Counting(8), done), Status::Ok);
    int attempts = 0;
    Status status = Status::NotAcknowledged;
    while (status == Status::NotAcknowledged && attempts < 10) {
        done = 99;
        status = eeprom.Write(0x08, Counting(8, 8), done);
        ++attempts;
        if (status != Status::Ok) {
            EXPECT_EQ(done, 0u);
        }
    }
    EXPECT_EQ(status, Status::Ok);
    EXPECT_EQ(attempts, 4);
    std::vector<std::uint8_t> buffer(8);
    done = 99;
    EXPECT_EQ(eeprom.Read(0x00, buffer, done), Status::NotAcknowledged) << "busy after the second write";
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(chip.memory, [] {
        std::vector<std::uint8_t> expected = Counting(16);
        expected.resize(256, 0xFF);
        return expected;
    }());
}

TEST(Eeprom24Test, TheReachFollowsTheFreeBlockSelectBitsOfThePortAddress) {
    EmulatedEeprom chip({});
    EXPECT_EQ(Eeprom24(chip, {0x50, 1, false}).Reach(), 2048u);
    EXPECT_EQ(Eeprom24(chip, {0x54, 1, false}).Reach(), 1024u);
    EXPECT_EQ(Eeprom24(chip, {0x52, 1, false}).Reach(), 512u);
    EXPECT_EQ(Eeprom24(chip, {0x56, 1, false}).Reach(), 512u);
    EXPECT_EQ(Eeprom24(chip, {0x57, 1, false}).Reach(), 256u);
    EXPECT_EQ(Eeprom24(chip, {0x57, 1, true}).Reach(), 65536u);
}

TEST(Eeprom24Test, AnAddressBeyondTheReachIsRefusedWithoutBusTraffic) {
    EmulatedEeprom chip({.size = 1024, .pageSize = 16, .baseAddress = 0x54});
    Eeprom24 eeprom(chip, {0x54, 16, false});
    std::vector<std::uint8_t> buffer(16);
    std::uint32_t done = 0;
    EXPECT_EQ(eeprom.Read(0x3F0, buffer, done), Status::Ok);
    EXPECT_EQ(chip.log.back()[0].address, 0x57);
    const std::size_t transfers = chip.log.size();
    EXPECT_EQ(eeprom.Read(0x400, buffer, done), Status::InvalidRequest);
    EXPECT_EQ(eeprom.Write(0x400, buffer, done), Status::InvalidRequest);
    EXPECT_EQ(Eeprom24(chip, {0x50, 16, true}).Read(0x10000, buffer, done), Status::InvalidRequest);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(chip.log.size(), transfers);
}

TEST(Eeprom24Test, AnEmptyRequestSucceedsWithoutBusTraffic) {
    EmulatedEeprom chip({});
    Eeprom24 eeprom(chip, {0x50, 8, false});
    std::uint32_t done = 7;
    EXPECT_EQ(eeprom.Read(0, {}, done), Status::Ok);
    EXPECT_EQ(eeprom.Write(0, {}, done), Status::Ok);
    EXPECT_EQ(done, 0u);
    EXPECT_TRUE(chip.log.empty());
}

TEST(Eeprom24Test, TheProbeIsAOneByteReadNeverAnEmptyWrite) {
    EmulatedEeprom chip({});
    EXPECT_EQ(Eeprom24(chip, {0x50, 8, false}).Probe(), Status::Ok);
    EXPECT_EQ(chip.log.back(), (std::vector<Segment>{{0x50, true, 1}}));
    EXPECT_EQ(Eeprom24(chip, {0x51, 8, false}).Probe(), Status::NotAcknowledged);
}

}  // namespace
}  // namespace tessaly
