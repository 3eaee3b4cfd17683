#include "plugins/i2cdev/Session.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "RecordingBus.h"
#include "device/PluginInterface.h"

namespace tessaly {
namespace {

using test::RecordingBus;

// An adapter whose state a test sets, connected to a recording bus. beforeTransfer, when set, runs at
// the start of every transfer: tests use it to act in the middle of one (a Reset from "another thread").
class EmulatedAdapter : public I2cAdapter {
  public:
    explicit EmulatedAdapter(RecordingBus& bus) : bus_(bus) {}

    AdapterConnection Open() override {
        ++opened;
        return {state, state == AdapterState::Ready ? std::make_unique<Connection>(*this) : nullptr};
    }
    std::string Name() const override { return name; }

    AdapterState state = AdapterState::Ready;
    std::string name = "Emulated bridge";
    std::function<void()> beforeTransfer;
    int opened = 0;

  private:
    struct Connection : I2cTransport {
        explicit Connection(EmulatedAdapter& adapter) : adapter(adapter) {}
        PluginStatus Transfer(std::span<const I2cMessage> messages) override {
            if (adapter.beforeTransfer) {
                adapter.beforeTransfer();
            }
            return adapter.bus_.Transfer(messages);
        }
        EmulatedAdapter& adapter;
    };

    RecordingBus& bus_;
};

// A session on a port at 0x50 with 8-byte pages.
class SessionTest : public ::testing::Test {
  protected:
    SessionTest() {
        auto owned = std::make_unique<EmulatedAdapter>(bus);
        adapter = owned.get();
        session = std::make_unique<Session>(PortName{1, 0x50, 8}, std::move(owned));
    }

    std::uint32_t Facility(std::uint32_t code, PluginStatus expected = PluginStatus::Ok) {
        std::uint32_t value = 0;
        EXPECT_EQ(session->GetFacility(code, value), expected) << code;
        return value;
    }

    PluginStatus Read(std::uint32_t address = 0) {
        std::vector<std::uint8_t> buffer(8);
        std::uint32_t done = 0;
        return session->Read(address, buffer, done);
    }

    RecordingBus bus;
    EmulatedAdapter* adapter = nullptr;
    std::unique_ptr<Session> session;
};

TEST_F(SessionTest, TheAdapterStateSetsThePollStatesAndTheChipIsPresentWhenIdleAndThere) {
    for (const auto& [state, identified, plugged] : {std::tuple{AdapterState::Ready, 1u, 1u},
                                                     {AdapterState::Absent, 1u, 0u},
                                                     {AdapterState::Inaccessible, 0u, 1u},
                                                     {AdapterState::NoPlainI2c, 0u, 1u}}) {
        SCOPED_TRACE(static_cast<int>(state));
        adapter->state = state;
        EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_IDENTIFIED), identified);
        EXPECT_EQ(Facility(PGM_SESSION_HARDWARE_PLUGGED), plugged);
    }
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT, PluginStatus::HardwareError), 0u);
    adapter->state = AdapterState::Ready;
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT), 1u);
    EXPECT_EQ(Facility(PGM_SESSION_BLOCK_SIZE), 8u);

    bus.answers = {PluginStatus::NoAnswer};
    EXPECT_EQ(Facility(PGM_SESSION_CHIP_PRESENT), 0u) << "busy, or no chip at the address";
    EXPECT_EQ(bus.log.back(), (std::vector<RecordingBus::Message>{{0x50, true, {0}}}));
}

// The firmware text is the adapter's name, or else its number.
TEST_F(SessionTest, OnlyTheAddressingModeChangesAnythingAndEachCallOpensTheAdapterAnew) {
    EXPECT_EQ(session->SetFacility(PGM_SESSION_POWER, 0), PluginStatus::Ok);
    EXPECT_EQ(session->SetFacility(PGM_SESSION_IO_DELAY, 12345), PluginStatus::Ok);
    Facility(PGM_SESSION_POWER, PluginStatus::InvalidRequest);
    EXPECT_TRUE(bus.log.empty());
    using Bytes = std::vector<std::uint8_t>;
    for (const auto& [wide, wordAddress] : {std::pair{1u, Bytes{0x00, 0x10}}, {0u, Bytes{0x10}}}) {
        ASSERT_EQ(session->SetFacility(PGM_SESSION_WIDE_ADDRESSING, wide), PluginStatus::Ok);
        EXPECT_EQ(Read(0x10), PluginStatus::Ok);
        EXPECT_EQ(bus.log.back()[0].bytes, wordAddress);
    }
    std::uint32_t done = 0;
    EXPECT_EQ(session->Write(0x10, Bytes{1, 2}, done), PluginStatus::Ok);
    EXPECT_EQ(bus.log.back(), (std::vector<RecordingBus::Message>{{0x50, false, {0x10, 1, 2}}}));
    adapter->state = AdapterState::Absent;
    EXPECT_EQ(Read(), PluginStatus::HardwareError);
    EXPECT_EQ(adapter->opened, 4);

    EXPECT_EQ(session->FirmwareText(), "Emulated bridge");
    adapter->name.clear();
    EXPECT_EQ(session->FirmwareText(), "i2c-1");
}

// A reset ends the transfer in progress and fails later transfers at once, until the session is queried
// or set up again; the I/O delay, which may come from the user-interface thread, does not count.
TEST_F(SessionTest, AResetEndsTheOperationUntilTheSessionIsQueriedOrSetUp) {
    adapter->beforeTransfer = [this] { session->Reset(); };
    EXPECT_EQ(Read(), PluginStatus::Cancelled);
    adapter->beforeTransfer = nullptr;
    const std::size_t transfers = bus.log.size();
    EXPECT_EQ(Read(), PluginStatus::Cancelled);
    std::uint32_t done = 7;
    EXPECT_EQ(session->Write(0, std::vector<std::uint8_t>{1}, done), PluginStatus::Cancelled);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(session->SetFacility(PGM_SESSION_IO_DELAY, 3), PluginStatus::Ok);
    EXPECT_EQ(Read(), PluginStatus::Cancelled);
    EXPECT_EQ(bus.log.size(), transfers);
    EXPECT_EQ(adapter->opened, 1);

    EXPECT_EQ(session->SetFacility(PGM_SESSION_POWER, 1), PluginStatus::Ok);
    EXPECT_EQ(Read(), PluginStatus::Ok);
    session->Reset();
    EXPECT_EQ(session->SetFacility(PGM_SESSION_WIDE_ADDRESSING, 0), PluginStatus::Ok);
    EXPECT_EQ(Read(), PluginStatus::Ok);
    session->Reset();
    EXPECT_EQ(Facility(PGM_SESSION_BLOCK_SIZE), 8u);
    EXPECT_EQ(Read(), PluginStatus::Ok);
}

}  // namespace
}  // namespace tessaly
