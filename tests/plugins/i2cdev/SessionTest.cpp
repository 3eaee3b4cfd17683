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

// A session on an emulated 24C02 (8-byte pages) at 0x50, with the port's page size given.
class SessionTest : public ::testing::Test {
  protected:
    explicit SessionTest(std::uint32_t pageSize = 8) {
        auto owned = std::make_unique<EmulatedAdapter>(chip);
        adapter = owned.get();
        session = std::make_unique<Session>(PortName{1, 0x50, pageSize}, std::move(owned));
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

TEST_F(SessionTest, AReadyAdapterWithAChipIsIdentifiedPluggedAndPresent) {
    EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_IDENTIFIED), 1u);
    EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_PLUGGED), 1u);
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT), 1u);
    EXPECT_EQ(Facility(PGM_SESSION_BLOCK_SIZE), 8u);
}

TEST_F(SessionTest, AnAbsentAdapterIsIdentifiedButUnplugged) {
    adapter->state = AdapterState::Absent;
    EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_IDENTIFIED), 1u);
    EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_PLUGGED), 0u);
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT, Status::AdapterError), 0u);
}

TEST_F(SessionTest, AnInaccessibleOrSmbusOnlyAdapterIsNotIdentified) {
    for (const AdapterState state : {AdapterState::Inaccessible, AdapterState::NoPlainI2c}) {
        adapter->state = state;
        EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_IDENTIFIED), 0u);
        EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_PLUGGED), 1u);
    }
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

TEST_F(SessionTest, UnknownFacilitiesAreRefused) {
    std::uint32_t value = 0;
    EXPECT_EQ(session->GetFacility(PGM_SESSION_POWER, value), Status::InvalidRequest);
    EXPECT_EQ(session->GetFacility(99, value), Status::InvalidRequest);
    EXPECT_EQ(session->SetFacility(PGM_SESSION_BLOCK_SIZE, 16), Status::InvalidRequest);
    EXPECT_EQ(session->SetFacility(0xFFFFFFFF, 0), Status::InvalidRequest);
}

TEST_F(SessionTest, PowerAndIoDelayAreAcceptedAndChangeNothing) {
    EXPECT_EQ(session->SetFacility(PGM_SESSION_POWER, 1), Status::Ok);
    EXPECT_EQ(session->SetFacility(PGM_SESSION_POWER, 0), Status::Ok);
    EXPECT_EQ(session->SetFacility(PGM_SESSION_IO_DELAY, 12345), Status::Ok);
    EXPECT_TRUE(chip.log.empty());
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

class ByteWriteSessionTest : public SessionTest {
  protected:
    ByteWriteSessionTest() : SessionTest(1) {}
};

TEST_F(ByteWriteSessionTest, TheDefaultPageSizeWritesOneByteAtATime) {
    EXPECT_EQ(Facility(PGM_SESSION_BLOCK_SIZE), 1u);
    const std::vector<std::uint8_t> data{1, 2, 3};
    std::uint32_t done = 0;
    EXPECT_EQ(session->Write(4, data, done), Status::Ok);
    EXPECT_EQ(done, 1u);
}

}  // namespace
}  // namespace tessaly
