#include "plugins/i2cdev/Eeprom24.h"

#include <gtest/gtest.h>

#include <numeric>
#include <tuple>
#include <vector>

#include "RecordingBus.h"

namespace tessaly {
namespace {

using test::RecordingBus;
using Bytes = std::vector<std::uint8_t>;
using Transfer = std::vector<RecordingBus::Message>;

Bytes Counting(std::size_t count, std::uint8_t first) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

Bytes Joined(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// A write is one message, the word address and the data; a read is a write of the word address, a
// repeated start and a read. One word-address byte puts address bits 8 to 10 into the device address
// (24C04 to 24C16); two leave it as it is.
TEST(Eeprom24Test, TransfersHaveTheShapeTheChipExpects) {
    struct Case {
        std::uint32_t page;
        bool wide;
        std::uint32_t address;
        std::uint8_t device;
        Bytes wordAddress;
    };
    for (const Case& c : {Case{8, false, 0x18, 0x50, {0x18}}, Case{16, false, 0x7F0, 0x57, {0xF0}},
                          Case{16, false, 0x3F0, 0x53, {0xF0}}, Case{64, true, 0x7FC0, 0x50, {0x7F, 0xC0}}}) {
        SCOPED_TRACE(c.address);
        RecordingBus bus;
        Eeprom24 eeprom(bus, {0x50, c.page, c.wide});
        const Bytes data = Counting(c.page, 1);
        std::uint32_t done = 99;
        EXPECT_EQ(eeprom.Write(c.address, data, done), PluginStatus::Ok);
        EXPECT_EQ(done, c.page);
        Bytes buffer(c.page);
        EXPECT_EQ(eeprom.Read(c.address, buffer, done), PluginStatus::Ok);
        EXPECT_EQ(done, c.page);
        EXPECT_EQ(buffer, Counting(c.page, 0xA0));
        EXPECT_EQ(bus.log, (std::vector<Transfer>{
                               {{c.device, false, Joined(c.wordAddress, data)}},
                               {{c.device, false, c.wordAddress}, {c.device, true, Bytes(c.page)}}}));
    }
}

// No transfer crosses the end of the port's page; with a page of one, writes go byte by byte.
TEST(Eeprom24Test, TransfersStopAtThePageEnd) {
    for (const auto& [page, write, address, length, done] :
         {std::tuple{8u, true, 0x0Cu, 8u, 4u}, {16u, false, 0x0Au, 100u, 6u}, {1u, true, 0x05u, 4u, 1u}}) {
        SCOPED_TRACE(address);
        RecordingBus bus;
        Eeprom24 eeprom(bus, {0x50, page, false});
        Bytes buffer = Counting(length, 0x10);
        std::uint32_t moved = 0;
        ASSERT_EQ(write ? eeprom.Write(address, buffer, moved) : eeprom.Read(address, buffer, moved),
                  PluginStatus::Ok);
        EXPECT_EQ(moved, done);
        EXPECT_EQ(bus.log.back().back().bytes.size(), (write ? 1 : 0) + done);
    }
}

// Only the block-select bits that are 0 in the port's address are used, so that a chip never reaches
// into its neighbour's addresses; an address beyond the reach is refused before anything goes on the bus.
TEST(Eeprom24Test, TheReachFollowsTheFreeBlockSelectBitsAndNothingBeyondItIsSent) {
    for (const auto& [address, wide, reach, top] : {std::tuple{0x50, false, 2048u, 0x57},
                                                    {0x54, false, 1024u, 0x57},
                                                    {0x52, false, 512u, 0x53},
                                                    {0x57, false, 256u, 0x57},
                                                    {0x57, true, 65536u, 0x57}}) {
        SCOPED_TRACE(address);
        RecordingBus bus;
        Eeprom24 eeprom(bus, {static_cast<std::uint8_t>(address), 16, wide});
        EXPECT_EQ(eeprom.Reach(), reach);
        Bytes buffer(16);
        std::uint32_t done = 7;
        EXPECT_EQ(eeprom.Read(reach - 16, buffer, done), PluginStatus::Ok);
        EXPECT_EQ(bus.log.back()[0].address, top) << "the device address of the last block";
        EXPECT_EQ(eeprom.Read(reach, buffer, done), PluginStatus::InvalidRequest);
        EXPECT_EQ(eeprom.Write(reach, buffer, done), PluginStatus::InvalidRequest);
        EXPECT_EQ(done, 0u);
        EXPECT_EQ(bus.log.size(), 1u);
    }
}

TEST(Eeprom24Test, AnUnansweredTransferMovesNothingAnEmptyOneIsNotSentAndTheProbeReadsOneByte) {
    RecordingBus bus;
    Eeprom24 eeprom(bus, {0x50, 8, false});
    std::uint32_t done = 7;
    EXPECT_EQ(eeprom.Read(0, {}, done), PluginStatus::Ok);
    EXPECT_EQ(eeprom.Write(0, {}, done), PluginStatus::Ok);
    EXPECT_EQ(done, 0u);
    EXPECT_TRUE(bus.log.empty());

    bus.answers = {PluginStatus::NoAnswer, PluginStatus::HardwareError, PluginStatus::NoAnswer};
    Bytes buffer(8);
    EXPECT_EQ(eeprom.Write(0, buffer, done), PluginStatus::NoAnswer);
    EXPECT_EQ(done, 0u);
    done = 7;
    EXPECT_EQ(eeprom.Read(0, buffer, done), PluginStatus::HardwareError);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(eeprom.Probe(), PluginStatus::NoAnswer);
    EXPECT_EQ(bus.log.back(), (Transfer{{0x50, true, Bytes(1)}}));
}

}  // namespace
}  // namespace tessaly
