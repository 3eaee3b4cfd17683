#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "EmulatedAdapter.h"
#include "EmulatedEeprom.h"
#include "device/PluginInterface.h"
#include "plugins/i2cdev/Session.h"

namespace tessaly {
namespace {

using test::EmulatedAdapter;
using test::EmulatedEeprom;

// A session on an emulated 24C02 (8-byte pages) at 0x50, on a port with 8-byte pages.
class SessionTest : public ::testing::Test {
  protected:
    SessionTest() {
        auto owned = std::make_unique<EmulatedAdapter>(chip);
        adapter = owned.get();
        session = std::make_unique<Session>(PortName{1, 0x50, 8}, std::move(owned));
    }

    std::uint32_t Facility(std::uint32_t code, Status expected = Status::Ok) {
        std::uint32_t value = 0;
        EXPECT_EQ(session->GetFacility(code, value), expected);
        return value;
    }

    EmulatedEeprom chip{{.size = 256, .pageSize = 8}};
    EmulatedAdapter* adapter = nullptr;
    std::unique_ptr<Session> session;
};

TEST_F(SessionTest, TheAdapterStateSetsThePollStates) {
    struct Case {
        AdapterState state;
        std::uint32_t identified;
        std::uint32_t plugged;
    };
    for (const Case& c : {Case{AdapterState::Ready, 1, 1}, Case{AdapterState::Absent, 1, 0},
                          Case{AdapterState::Inaccessible, 0, 1}, Case{AdapterState::NoPlainI2c, 0, 1}}) {
        SCOPED_TRACE(static_cast<int>(c.state));
        adapter->state = c.state;
        EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_IDENTIFIED), c.identified);
        EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_PLUGGED), c.plugged);
    }
    adapter->state = AdapterState::Ready;
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT), 1u);
    EXPECT_EQ(Facility(PGM_SESSION_BLOCK_SIZE), 8u);
    adapter->state = AdapterState::Absent;
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT, Status::AdapterError), 0u);
}

TEST_F(SessionTest, ABusyOrMissingChipIsNotPresent) {
    chip.writeCycleTransfers = 1;
    std::uint32_t done = 0;
    const std::uint8_t byte = 0x12;
    ASSERT_EQ(session->Write(0, std::span(&byte, 1), done), Status::Ok);
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT), 0u);
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT), 1u);

    EmulatedEeprom elsewhere({.baseAddress = 0x57});
    Session other(PortName{1, 0x50, 1}, std::make_unique<EmulatedAdapter>(elsewhere));
    std::uint32_t value = 1;
    EXPECT_EQ(other.GetFacility(PGM_SESSION_CHIP_PRESENT, value), Status::Ok);
    EXPECT_EQ(value, 0u);
}

TEST_F(SessionTest, PowerAndIoDelayChangeNothingAndUnknownFacilitiesAreRefused) {
    EXPECT_EQ(session->SetFacility(PGM_SESSION_POWER, 1), Status::Ok);
    EXPECT_EQ(session->SetFacility(PGM_SESSION_POWER, 0), Status::Ok);
    EXPECT_EQ(session->SetFacility(PGM_SESSION_IO_DELAY, 12345), Status::Ok);
    EXPECT_TRUE(chip.log.empty());
    std::uint32_t value = 0;
    EXPECT_EQ(session->GetFacility(PGM_SESSION_POWER, value), Status::InvalidRequest);
    EXPECT_EQ(session->GetFacility(99, value), Status::InvalidRequest);
    EXPECT_EQ(session->SetFacility(PGM_SESSION_BLOCK_SIZE, 16), Status::InvalidRequest);
    EXPECT_EQ(session->SetFacility(0xFFFFFFFF, 0), Status::InvalidRequest);
}

TEST_F(SessionTest, WideAddressingSwitchesTheWordAddressToTwoBytes) {
    std::vector<std::uint8_t> buffer(8);
    std::uint32_t done = 0;
    ASSERT_EQ(session->SetFacility(PGM_SESSION_WIDE_ADDRESSING, 1), Status::Ok);
    session->Read(0x10, buffer, done);
    EXPECT_EQ(chip.log.back()[0].length, 2);
    ASSERT_EQ(session->SetFacility(PGM_SESSION_WIDE_ADDRESSING, 0), Status::Ok);
    session->Read(0x10, buffer, done);
    EXPECT_EQ(chip.log.back()[0].length, 1);
}

TEST_F(SessionTest, EachCallOpensTheAdapterAnewSoNothingIsHeldBetweenCalls) {
    std::vector<std::uint8_t> buffer(8);
    std::uint32_t done = 0;
    adapter->state = AdapterState::Absent;
    EXPECT_EQ(session->Read(0, buffer, done), Status::AdapterError);
    adapter->state = AdapterState::Ready;
    EXPECT_EQ(session->Read(0, buffer, done), Status::Ok);
    EXPECT_EQ(adapter->opened, 2);
}

TEST_F(SessionTest, TheFirmwareTextIsTheAdapterNameCutToTheBuffer) {
    std::vector<char> buffer(64, 'x');
    std::uint32_t length = 0;
    ASSERT_EQ(session->Firmware(buffer, length), Status::Ok);
    EXPECT_EQ(length, 15u);
    EXPECT_STREQ(buffer.data(), "Emulated bridge");

    std::vector<char> small(9, 'x');
    ASSERT_EQ(session->Firmware(small, length), Status::Ok);
    EXPECT_EQ(length, 8u);
    EXPECT_STREQ(small.data(), "Emulated");

    EXPECT_EQ(session->Firmware({}, length), Status::InvalidRequest);
    EXPECT_EQ(length, 0u);

    adapter->name.clear();
    ASSERT_EQ(session->Firmware(buffer, length), Status::Ok);
    EXPECT_STREQ(buffer.data(), "i2c-1");
}

TEST_F(SessionTest, AResetDuringATransferEndsItWithAFailure) {
    std::vector<std::uint8_t> buffer(8);
    std::uint32_t done = 99;
    adapter->beforeTransfer = [this] { session->Reset(); };
    EXPECT_EQ(session->Read(0, buffer, done), Status::Cancelled);
    EXPECT_EQ(done, 8u);  // the bytes did arrive; the status says the operation ends
}

TEST_F(SessionTest, AfterAResetTransfersFailAtOnceUntilTheSessionIsQueriedOrSetUp) {
    std::vector<std::uint8_t> buffer(8);
    std::uint32_t done = 0;
    session->Reset();
    EXPECT_EQ(session->Read(0, buffer, done), Status::Cancelled);
    EXPECT_EQ(session->Write(0, buffer, done), Status::Cancelled);
    EXPECT_EQ(done, 0u);
    EXPECT_TRUE(chip.log.empty());
    EXPECT_EQ(adapter->opened, 0);

    EXPECT_EQ(session->SetFacility(PGM_SESSION_IO_DELAY, 3), Status::Ok);
    EXPECT_EQ(session->Read(0, buffer, done), Status::Cancelled);

    EXPECT_EQ(session->SetFacility(PGM_SESSION_POWER, 1), Status::Ok);
    EXPECT_EQ(session->Read(0, buffer, done), Status::Ok);

    session->Reset();
    EXPECT_EQ(Facility(PGM_SESSION_BLOCK_SIZE), 8u);
    EXPECT_EQ(session->Read(0, buffer, done), Status::Ok);
}

TEST_F(SessionTest, AResetFromAnotherThreadEndsAnOperationRunningBlockAfterBlock) {
    adapter->beforeTransfer = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
    std::atomic<bool> started{false};
    std::atomic<std::uint32_t> blocks{0};
    std::atomic<Status> last{Status::Ok};
    std::thread worker([&] {
        std::vector<std::uint8_t> buffer(8);
        session->SetFacility(PGM_SESSION_POWER, 1);
        started = true;
        // The host goes on with the next block after a failure only when told to; this loop models the
        // worst case, a host that never stops by itself.
        for (std::uint32_t address = 0;; address = (address + 8) % 256) {
            std::uint32_t done = 0;
            const Status status = session->Read(address, buffer, done);
            ++blocks;
            if (status != Status::Ok) {
                last = status;
                return;
            }
        }
    });
    while (!started || blocks < 5) {
        std::this_thread::yield();
    }
    session->Reset();
    worker.join();
    EXPECT_EQ(last.load(), Status::Cancelled);
}

TEST(ByteWriteSessionTest, TheDefaultPageSizeWritesOneByteAtATime) {
    EmulatedEeprom chip({});
    Session session(PortName{1, 0x50, 1}, std::make_unique<EmulatedAdapter>(chip));
    std::uint32_t value = 0;
    EXPECT_EQ(session.GetFacility(PGM_SESSION_BLOCK_SIZE, value), Status::Ok);
    EXPECT_EQ(value, 1u);
    std::uint32_t done = 0;
    EXPECT_EQ(session.Write(4, std::vector<std::uint8_t>{1, 2, 3}, done), Status::Ok);
    EXPECT_EQ(done, 1u);
}

}  // namespace
}  // namespace tessaly
