#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <tuple>

#include "FakeLibrary.h"
#include "QuickSettings.h"
#include "TestUnit.h"
#include "WorkerSession.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

using test::kFakeProgrammer;
using test::kTestPluginDir;
using test::TestUnit;
using ::testing::EndsWith;
using namespace std::chrono_literals;

class DeviceWorkerTest : public ::testing::Test {
  protected:
    void Start(const std::string& plugin = kFakeProgrammer, const std::string& port = "fake0") {
        ASSERT_TRUE(session.Start(port, plugin, kTestPluginDir));
    }
    bool Run(OperationMask operation, TestUnit& unit) { return session.Run(operation, unit.unit); }

    test::FakeLibrary fake;
    test::WorkerSession session{test::QuickSettings(20, 0)};
    test::RecordingOwner& owner = session.owner;
    DeviceWorker& worker = session.worker;
};

// The first poll stores the texts and the state (0 no plug-in, 1 no driver, 2 hardware undefined, 3 ready,
// 4 no chip, 5 unplugged), then posts it, ready only when ready; the firmware is asked for once a session is
// open. A request runs in any state with a session, else only its end is announced; without a plug-in the
// thread waits for nothing but a request or the stop, so that case also shows that a request wakes it.
TEST_F(DeviceWorkerTest, FirstPollReportsTheStateAndARequestRunsWithASession) {
    // Plug-in, port, a global or session facility that answers no, the state, a progress display.
    const std::tuple<std::string, const char*, bool, std::uint32_t, int, bool> cases[] = {
        {kFakeProgrammer, "fake0", false, 99, 3, true},
        {"no-such-plugin.so", "fake0", false, 99, 0, true},
        {GetMessageText(msg::kNone), "", false, 99, 0, true},
        {kFakeProgrammer, "fake0", true, PGM_GLOBAL_DRIVER_INSTALLED, 1, true},
        {kFakeProgrammer, "COM1", false, 99, 1, true},
        {kFakeProgrammer, "fake0", false, PGM_SESSION_HARDWARE_IDENTIFIED, 2, true},
        {kFakeProgrammer, "fake0", false, PGM_SESSION_CHIP_PRESENT, 4, true},
        {kFakeProgrammer, "fake0", false, PGM_SESSION_HARDWARE_PLUGGED, 5, true},
        {kFakeProgrammer, "fake0", false, 99, 3, false},
    };
    for (const auto& [plugin, port, global, unanswered, state, display] : cases) {
        // Init-captures: clang 14 cannot capture a structured binding itself.
        fake.Configure([global = global, unanswered = unanswered](fake::Config& config) {
            config = {};
            (global ? config.global : config.session)[unanswered] = 0;
        });
        owner.progressDisplay = display;
        Start(plugin, port);
        const bool loads = plugin == kFakeProgrammer;
        const bool attached = loads && port == std::string("fake0");
        const std::string report = std::string("PluginText ") + (loads ? "fake 1.0" : "") +
                                   " | FirmwareText " + (state > 1 ? "FW 2.1" : "") + " | StoreState " +
                                   std::to_string(state) + " | PostDeviceState " + (state == 3 ? "1" : "0");
        EXPECT_THAT(owner.Log(), EndsWith(report));
        TestUnit unit(0x00, 0x0F);
        ASSERT_TRUE(Run(operation::kReadCommand, unit));
        EXPECT_THAT(owner.Log(),
                    EndsWith(attached && display ? "ProgressPosition 16 | OperationEnded | ReadDone"
                                                 : report + " | OperationEnded"));
    }
    // Each Start ends the session of the one before, and Stop the last one.
    EXPECT_TRUE(worker.Stop());
    EXPECT_EQ(worker.Plugin(), nullptr);
    EXPECT_EQ(fake.Log({"Attach", "Detach"}),
              "Attach fake0, Detach 81, Attach fake0, Detach 81, Attach COM1, "
              "Attach fake0, Detach 81, Attach fake0, Detach 81, Attach fake0, "
              "Detach 81, Attach fake0, Detach 81");
}

TEST(DeviceStateTest, EveryStateHasItsTextAndAnUnknownOneTheNoPluginText) {
    const char* texts[] = {"No plugin", "No driver",          "Hardware undefined", "Ready",
                           "No chip",   "Hardware unplugged", "No plugin"};
    for (std::uint32_t state = 0; state <= kDeviceStateCount; ++state) {
        EXPECT_STREQ(GetMessageText(DeviceStateMessage(static_cast<DeviceState>(state))), texts[state]);
    }
}

// Only a changed state is reported again, and the chip is powered only to ask for it. Polls that power no
// chip are spaced, yet go on.
TEST_F(DeviceWorkerTest, PollsReportChangesAndPowerTheChipOnlyToAskForIt) {
    Start();
    std::this_thread::sleep_for(20ms);
    fake.Configure([](fake::Config& config) { config.session[PGM_SESSION_HARDWARE_PLUGGED] = 0; });
    ASSERT_TRUE(owner.WaitFor("PostDeviceState", 2));
    const std::size_t polls = fake.Count("Get 1");
    std::this_thread::sleep_for(200ms);
    EXPECT_GE(fake.Count("Get 1") - polls, 3u);
    EXPECT_LE(fake.Count("Get 1") - polls, 12u);
    worker.Stop();
    EXPECT_EQ(owner.Log({"StoreState", "PostDeviceState"}),
              "StoreState 3 | PostDeviceState 1 | StoreState 5 | PostDeviceState 0");
    EXPECT_THAT(fake.Log({"Set 3", "Get 2"}), ::testing::MatchesRegex("(Set 3=1, Get 2, Set 3=0(, |$))+"));
}

// Only I2C modes 0 and 1 are sent; SPI (2) is stored without a call and 3 is refused, as is the I/O delay
// without a session. A mode set during a request waits for the next poll. Turning from an I2C16 unit to an
// I2C8 one while a read runs and programming it before any poll makes every transfer with 8-bit word
// addresses; after a request in another mode the poll sends the stored one.
TEST_F(DeviceWorkerTest, RequestsRunInTheirUnitsBusModeAndPollsSendTheStoredOne) {
    EXPECT_FALSE(worker.SetBusMode(1));
    EXPECT_FALSE(worker.ApplyIoDelay());
    Start();
    EXPECT_TRUE(worker.SetBusMode(0));
    EXPECT_FALSE(worker.SetBusMode(2));
    EXPECT_FALSE(worker.SetBusMode(3));
    EXPECT_EQ(worker.BusMode(), 2u);
    WorkerSettings settings = test::QuickSettings(20, 0);
    settings.delayIO = 17;
    worker.UpdateSettings(settings);
    EXPECT_TRUE(worker.ApplyIoDelay());
    EXPECT_TRUE(worker.SetBusMode(1));
    EXPECT_EQ(fake.Log({"Set 4", "Set 7"}), "Set 4=1, Set 4=0, Set 7=17, Set 4=1");
    TestUnit wide(0x00, 0x0F);
    wide.unit.bus = BusKind::I2C16;
    TestUnit narrow(0x100, 0x10F);
    owner.Hold("OperationEnded");
    ASSERT_TRUE(worker.Request(operation::kReadCommand, &wide.unit));
    ASSERT_TRUE(owner.WaitFor("OperationEnded"));
    fake.ClearLog();
    EXPECT_FALSE(worker.SetBusMode(0));
    EXPECT_EQ(fake.Log(), "");
    owner.Release();
    ASSERT_TRUE(session.WaitUntilIdle());
    ASSERT_TRUE(Run(operation::kProgramCommand, narrow));
    EXPECT_THAT(fake.Log({"Set 4", "R ", "W "}), EndsWith("Set 4=0, R 256+16, W 256+16, R 256+16"));
    ASSERT_TRUE(Run(operation::kReadCommand, wide));
    for (int tries = 0; tries < 10000 && !fake.Log({"Set 4"}).ends_with("Set 4=1, Set 4=0"); ++tries) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_THAT(fake.Log({"Set 4"}), EndsWith("Set 4=1, Set 4=0"));
    fake.Configure([](fake::Config& config) { config.statuses["Set"] = 3; });
    EXPECT_FALSE(worker.SetBusMode(1)) << "refused by the plug-in";
}

// A request needs an operation and a unit, and one pending or running turns the next away untouched. The
// read runs with the chip powered, ends before it says it is done, and the worker polls on afterwards.
TEST_F(DeviceWorkerTest, ReadRequestRunsPoweredAloneAndEndsBeforeItIsDone) {
    fake.Configure([](fake::Config& config) { config.memory[0x05] = 0x5A; });
    TestUnit unit(0x00, 0x0F);
    TestUnit other(0x100, 0x10F);
    EXPECT_TRUE(worker.Stop()) << "without a thread";
    EXPECT_EQ(fake.Log(), "");
    EXPECT_FALSE(worker.Request(0, &unit.unit));
    EXPECT_FALSE(worker.Request(operation::kReadCommand, nullptr));
    EXPECT_FALSE(worker.IsBusy());
    Start();
    owner.Hold("OperationEnded");
    ASSERT_TRUE(worker.Request(operation::kReadCommand, &unit.unit));
    EXPECT_FALSE(worker.Request(operation::kProgramCommand, &other.unit));
    owner.Release();
    ASSERT_TRUE(session.WaitUntilIdle());
    EXPECT_EQ(unit.Image(0x05), 0x5A);
    EXPECT_EQ(owner.Log({"OperationEnded", "ReadDone", "NotifyCompletion"}), "OperationEnded | ReadDone");
    EXPECT_THAT(fake.Log({"Set 3", "R ", "W "}), ::testing::HasSubstr("Set 3=1, R 0+16, Set 3=0"));
    fake.Configure([](fake::Config& config) { config.session[PGM_SESSION_CHIP_PRESENT] = 0; });
    ASSERT_TRUE(owner.WaitFor("StoreState", 2));
    EXPECT_EQ(owner.Log({"StoreState"}), "StoreState 3 | StoreState 4");
}

class StopTest : public DeviceWorkerTest, public ::testing::WithParamInterface<const char*> {};

// Stopping never deadlocks, whatever the worker waits for: one of the owner's waits, a transfer that hangs
// in the plug-in (ended by the reset) or a long power-up delay.
TEST_P(StopTest, StopEndsTheWait) {
    const std::string held = GetParam();
    const bool ownerWait = held != "transfer" && held != "power-up";
    fake.Configure([&held](fake::Config& config) {
        config.faults = {{'R', 1, 1, held == "AskRetryAccess" ? 1 : 0, 16}};
        config.memory[0x03] = held == "ReportDifference" ? 0x00 : 0xFF;
        config.holdTransfers = held == "transfer";
    });
    WorkerSettings settings = test::QuickSettings(20, 0);
    settings.delayPowerUp = held == "power-up" ? 60000 : 0;
    worker.UpdateSettings(settings);
    ASSERT_TRUE(worker.Start(kFakeProgrammer, "fake0", kTestPluginDir));
    owner.Hold(held);
    TestUnit unit(0x00, 0x0F, 0xFF);
    const bool verifies = held == "NotifyCompletion" || held == "ReportDifference";
    const OperationMask request = verifies ? operation::kVerifyCommand : operation::kReadCommand;
    ASSERT_EQ(worker.Request(held == "power-up" ? 0 : request, &unit.unit), held != "power-up");
    if (ownerWait) {
        ASSERT_TRUE(owner.WaitFor(held));
    } else if (held == "transfer") {
        fake.WaitUntilHolding();
    } else {
        std::this_thread::sleep_for(20ms);  // into the power-up delay
    }
    auto stopped = std::async(std::launch::async, [this] { return worker.Stop(); });
    EXPECT_EQ(stopped.wait_for(10s), std::future_status::ready);
    owner.Release();
    EXPECT_THAT(owner.Log({held}), ::testing::MatchesRegex(ownerWait ? "[^|]*\\(stopped\\)" : ""));
    if (held == "transfer") {
        EXPECT_EQ(owner.Count("ReadDone"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWait, StopTest,
                         ::testing::Values("OperationEnded", "ReadDone", "AskRetryAccess", "ReportDifference",
                                           "NotifyCompletion", "transfer", "power-up"));

}  // namespace
}  // namespace tessaly
