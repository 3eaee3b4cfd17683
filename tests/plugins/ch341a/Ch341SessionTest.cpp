// The plug-in's sessions on an emulated CH341A: the exact packets of a read, a page write, a busy chip
// and the SPI sequence, and what unplugging and a reset do to a transfer.
#include "plugins/ch341a/Ch341Session.h"

#include <gtest/gtest.h>

#include <numeric>

#include "EmulatedCh341.h"
#include "device/PluginInterface.h"

namespace tessaly {
namespace {

using test::Bytes;
using Packets = std::vector<Bytes>;

const Bytes kSelect{0xAB, 0xB6, 0x7F, 0x20};
const Bytes kDeselect{0xAB, 0xB7, 0x7F, 0x20};

class Ch341SessionTest : public ::testing::Test {
  protected:
    void Attach(const char* port) {
        session_ = std::make_unique<Ch341Session>(*Ch341Port::Parse(port), programmer_);
    }
    std::uint32_t Facility(std::uint32_t code, PluginStatus expected = PluginStatus::Ok) {
        std::uint32_t value = 0;
        EXPECT_EQ(session_->GetFacility(code, value), expected);
        return value;
    }
    PluginStatus Read(std::uint32_t address, Bytes& buffer) {
        std::uint32_t done = 0;
        const PluginStatus status = session_->Read(address, buffer, done);
        buffer.resize(done);
        return status;
    }
    PluginStatus Write(std::uint32_t address, const Bytes& data, std::uint32_t expectedDone) {
        std::uint32_t done = 0;
        const PluginStatus status = session_->Write(address, data, done);
        EXPECT_EQ(done, expectedDone);
        return status;
    }

    std::shared_ptr<test::EmulatedCh341> programmer_ = std::make_shared<test::EmulatedCh341>();
    std::unique_ptr<Ch341Session> session_;
};

// 8-bit word addresses: bits 8 to 10 of the address go into the device address (0x53 for 0x3xx).
TEST_F(Ch341SessionTest, I2cReadSetsTheClockProbesThenReadsAtRandom) {
    Attach("1-1 I2C 400k");
    std::iota(programmer_->i2cMemory.begin(), programmer_->i2cMemory.end(), 0);
    Bytes buffer(8);
    EXPECT_EQ(Read(0x310, buffer), PluginStatus::Ok);
    EXPECT_EQ(buffer, (Bytes{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17}));
    EXPECT_EQ(programmer_->sent,
              (Packets{{0xAA, 0x62, 0x00},
                       {0xAA, 0x74, 0x80, 0xA6, 0x75, 0x00},
                       {0xAA, 0x74, 0x82, 0xA6, 0x10, 0x74, 0x81, 0xA7, 0xC7, 0xC0, 0x75, 0x00}}));
}

// The write stops at the end of the 8-byte page; the chip, busy for two polls after it, is polled until
// it acknowledges again.
TEST_F(Ch341SessionTest, I2cPageWriteKeepsToThePageAndPollsTheBusyChip) {
    Attach("1-1 I2C 100k");
    programmer_->busyPolls = 2;
    EXPECT_EQ(Write(0x10C, {1, 2, 3, 4, 5, 6}, 4), PluginStatus::Ok);
    Packets expected{{0xAA, 0x61, 0x00},
                     {0xAA, 0x74, 0x80, 0xA2, 0x75, 0x00},
                     {0xAA, 0x74, 0x86, 0xA2, 0x0C, 1, 2, 3, 4, 0x75, 0x00}};
    expected.insert(expected.end(), 3, {0xAA, 0x74, 0x80, 0xA0, 0x75, 0x00});
    EXPECT_EQ(programmer_->sent, expected);
}

// Bytes travel least significant bit first: 05h goes out as A0h, 02h as 40h, 03h as C0h.
TEST_F(Ch341SessionTest, SpiWriteEnablesProgramsAPageAndPollsTheStatusThenReadsBack) {
    Attach("1-1 25LC256");
    EXPECT_EQ(Facility(PGM_SESSION_BLOCK_SIZE), 64u);
    programmer_->busyPolls = 1;
    EXPECT_EQ(Write(0x1FF, {0x01, 0x02}, 1), PluginStatus::Ok);
    const Packets status{kSelect, {0xA8, 0xA0, 0xFF}, kDeselect};
    Packets expected = status;
    expected.insert(expected.end(),
                    {kSelect, {0xA8, 0x60}, kDeselect, kSelect, {0xA8, 0x40, 0x80, 0xFF, 0x80}, kDeselect});
    expected.insert(expected.end(), status.begin(), status.end());
    expected.insert(expected.end(), status.begin(), status.end());
    EXPECT_EQ(programmer_->sent, expected);

    programmer_->sent.clear();
    Bytes buffer(2);
    EXPECT_EQ(Read(0x1FE, buffer), PluginStatus::Ok);
    EXPECT_EQ(buffer, (Bytes{0xFF, 0x01}));
    EXPECT_EQ(programmer_->sent, (Packets{kSelect, {0xA8, 0xC0, 0x80, 0x7F, 0xFF, 0xFF}, kDeselect}));
}

TEST_F(Ch341SessionTest, UnpluggingFailsTheTransferAndPluggingInAgainReopens) {
    Attach("1-1 I2C 20k");
    programmer_->onSend = [&](const Bytes& packet) { programmer_->unplugged = packet.size() > 6; };
    Bytes buffer(8);
    EXPECT_EQ(Read(0, buffer), PluginStatus::HardwareError);
    EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_PLUGGED), 0u);
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT, PluginStatus::HardwareError), 0u);

    programmer_->onSend = nullptr;
    programmer_->unplugged = false;
    programmer_->sent.clear();
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT), 1u);
    EXPECT_EQ(programmer_->sent.front(), (Bytes{0xAA, 0x60, 0x00})) << "the clock is set again";
}

// A reset from another thread ends the transfer before its next packet; on SPI the chip select still
// goes high. Transfers fail until the host asks the session again.
TEST_F(Ch341SessionTest, AResetEndsTheTransferAndTheNextOnesUntilTheSessionIsAskedAgain) {
    Attach("1-1 25LC256");
    programmer_->onSend = [&](const Bytes& packet) {
        if (packet == Bytes{0xA8, 0x60}) {
            session_->Reset();
        }
    };
    EXPECT_EQ(Write(0, {1}, 0), PluginStatus::Cancelled);
    EXPECT_EQ(programmer_->sent.back(), kDeselect);
    EXPECT_EQ(programmer_->spiMemory[0], 0xFF);
    Bytes buffer(1);
    EXPECT_EQ(Read(0, buffer), PluginStatus::Cancelled);
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT), 1u);
    EXPECT_EQ(Read(0, buffer), PluginStatus::Ok);
}

// Nothing asked, an address beyond the chip, an absent chip, and the programmer unplugged at the n-th
// packet: setting the clock, probing, sending the data; on SPI reading the status, enabling the write or
// reading. Nothing is transferred.
TEST_F(Ch341SessionTest, EveryFailureOfChipOrProgrammerEndsTheTransferWithItsStatus) {
    struct Row {
        const char* port;
        bool write;
        std::uint32_t address;
        std::size_t size;
        bool absent;
        std::size_t unplugAt;
        PluginStatus expected;
    };
    using enum PluginStatus;
    for (const Row& row : std::vector<Row>{{"1-1 I2C 100k", false, 0, 0, false, 0, Ok},
                                           {"1-1 I2C 100k", true, 0, 0, false, 0, Ok},
                                           {"1-1 I2C 100k", false, 0x800, 1, false, 0, InvalidRequest},
                                           {"1-1 I2C 100k", true, 0x800, 1, false, 0, InvalidRequest},
                                           {"1-1 I2C 100k", false, 0, 1, true, 0, NoAnswer},
                                           {"1-1 I2C 100k", true, 0, 1, true, 0, NoAnswer},
                                           {"1-1 I2C 100k", false, 0, 1, false, 1, HardwareError},
                                           {"1-1 I2C 100k", false, 0, 1, false, 2, HardwareError},
                                           {"1-1 I2C 100k", true, 0, 1, false, 3, HardwareError},
                                           {"1-1 25LC256", false, 0x8000, 1, false, 0, InvalidRequest},
                                           {"1-1 25LC256", true, 0, 0, false, 0, Ok},
                                           {"1-1 25LC256", true, 0x8000, 1, false, 0, InvalidRequest},
                                           {"1-1 25LC256", true, 0, 1, true, 0, NoAnswer},
                                           {"1-1 25LC256", true, 0, 1, false, 2, HardwareError},
                                           {"1-1 25LC256", true, 0, 1, false, 5, HardwareError},
                                           {"1-1 25LC256", false, 0, 1, false, 2, HardwareError}}) {
        programmer_ = std::make_shared<test::EmulatedCh341>();
        programmer_->chipAbsent = row.absent;
        programmer_->onSend = [this, &row](const Bytes&) {
            programmer_->unplugged = programmer_->unplugged || programmer_->sent.size() == row.unplugAt;
        };
        Attach(row.port);
        Bytes buffer(row.size, 0x5A);
        const PluginStatus status = row.write ? Write(row.address, buffer, 0) : Read(row.address, buffer);
        EXPECT_EQ(status, row.expected)
            << row.port << (row.write ? " write at " : " read at ") << row.address;
        EXPECT_TRUE(row.write || buffer.empty());
        EXPECT_EQ(programmer_->i2cMemory[0] & programmer_->spiMemory[0], 0xFF);
    }
}

// A 25LC1024 and the 24CM02 with 16-bit word addresses take address bits 16 and up.
TEST_F(Ch341SessionTest, LargeChipsTakeTheHighAddressBits) {
    Attach("1-1 25LC1024");
    EXPECT_EQ(session_->FirmwareText(), "CH341A 1-1, 25LC1024 on SPI, 256-byte pages");
    Bytes buffer(1);
    EXPECT_EQ(Read(0x12345, buffer), PluginStatus::Ok);
    EXPECT_EQ(programmer_->sent[1], (Bytes{0xA8, 0xC0, 0x80, 0xC4, 0xA2, 0xFF}));

    Attach("1-1 I2C 100k");
    EXPECT_EQ(session_->SetFacility(PGM_SESSION_WIDE_ADDRESSING, 2), PluginStatus::InvalidRequest);
    EXPECT_EQ(session_->SetFacility(PGM_SESSION_IO_DELAY, 5), PluginStatus::Ok);
    EXPECT_EQ(session_->SetFacility(PGM_SESSION_WIDE_ADDRESSING, 1), PluginStatus::Ok);
    programmer_->sent.clear();
    EXPECT_EQ(Read(0x12345, buffer), PluginStatus::Ok);
    EXPECT_EQ(programmer_->sent.back(),
              (Bytes{0xAA, 0x74, 0x83, 0xA2, 0x23, 0x45, 0x74, 0x81, 0xA3, 0xC0, 0x75, 0x00}));
}

TEST(Ch341PortTest, NamesFitTheSettingAndOnlyThoseParse) {
    const std::vector<std::string> names =
        Ch341Port::List(std::vector<UsbLocation>{{1, {4}}, {3, {1, 2, 3}}});
    EXPECT_EQ(names.size(), 10u + 6u) << "the deeper location's longer names do not fit";
    EXPECT_EQ(names.back(), "3-1.2.3 25LC512");
    for (const std::string& name : names) {
        EXPECT_EQ(Ch341Port::Parse(name)->Format(), name);
    }
    for (const char* bad : {"1-4 I2C 100kHz", "1-4 SPI", "1-0 I2C 20k", "01-4 I2C 20k", "1-4",
                            "1-1.1.1.1.1.1.1.1 25LC128", "1-256 25LC128", "1- I2C 20k"}) {
        EXPECT_EQ(Ch341Port::Parse(bad), std::nullopt) << bad;
    }
}

}  // namespace
}  // namespace tessaly
