#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "FakeLibrary.h"
#include "QuickSettings.h"
#include "RecordingOwner.h"
#include "TestUnit.h"
#include "device/DeviceWorker.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

using test::kFakeProgrammer;
using test::kTestPluginDir;
using test::TestUnit;
using ::testing::EndsWith;
using namespace std::chrono_literals;

// Waits up to ten seconds for done() to hold.
template <typename Done>
bool Eventually(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    return done();
}

class DeviceWorkerTest : public ::testing::Test {
  protected:
    // Starts the worker and waits for its next report.
    void Start(const std::string& plugin = kFakeProgrammer, const std::string& port = "fake0") {
        const std::size_t reports = owner.Count("PostDeviceState");
        ASSERT_TRUE(worker.Start(plugin, port, kTestPluginDir));
        ASSERT_TRUE(owner.WaitFor("PostDeviceState", reports + 1));
    }

    // Hands over a request and waits for its end; false when the worker refused it.
    bool Run(OperationMask operation, TestUnit& unit) {
        const std::size_t ended = owner.Count("OperationEnded");
        return worker.Request(operation, &unit.unit) && owner.WaitFor("OperationEnded", ended + 1) &&
               Eventually([this] { return !worker.IsBusy(); });
    }

    test::FakeLibrary fake;
    test::RecordingOwner owner;
    DeviceWorker worker{owner, test::QuickSettings(20, 0)};
};

// The first poll stores the texts and the state before it posts the state, ready only for a ready
// programmer; the firmware is asked for once a session is open (states: 0 no plug-in, 1 no driver,
// 2 hardware undefined, 3 ready, 4 no chip, 5 hardware unplugged). A request then runs in any state with a
// session; without a session or a progress display only its end is announced. Without a plug-in the thread
// waits for nothing but a request or the stop, so that case also shows that a request wakes it.
TEST_F(DeviceWorkerTest, FirstPollReportsTheStateAndARequestRunsWithASession) {
    const struct {
        std::string plugin;
        const char* port;
        bool global;
        std::uint32_t unanswered;  // a facility of the fake answering no
        int state;
        bool display;
    } cases[] = {
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
    for (const auto& c : cases) {
        fake.Configure([&c](fake::Config& config) {
            config = {};
            (c.global ? config.global : config.session)[c.unanswered] = 0;
        });
        owner.progressDisplay = c.display;
        Start(c.plugin, c.port);
        const bool loads = c.plugin == kFakeProgrammer;
        const bool attached = loads && c.port == std::string("fake0");
        const std::string report = std::string("PluginText ") + (loads ? "fake 1.0" : "") +
                                   " | FirmwareText " + (c.state > 1 ? "FW 2.1" : "") + " | StoreState " +
                                   std::to_string(c.state) + " | PostDeviceState " +
                                   (c.state == 3 ? "1" : "0");
        EXPECT_THAT(owner.Log(), EndsWith(report));
        EXPECT_EQ(worker.Plugin() != nullptr, loads);
        EXPECT_EQ(worker.IsAttached(), attached);
        TestUnit unit(0x00, 0x0F);
        ASSERT_TRUE(Run(operation::kReadCommand, unit));
        EXPECT_THAT(owner.Log(),
                    EndsWith(attached && c.display ? "ProgressPosition 16 | OperationEnded | ReadDone"
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
// without a session. A mode set while a request runs waits for the next poll. The user turns from an
// I2C16 unit to an I2C8 one while a read runs and programs it as soon as the worker is free, before any
// poll: every transfer of that program is made with 8-bit word addresses. After a request in another mode
// the poll sends the stored one.
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
    ASSERT_TRUE(Eventually([this] { return !worker.IsBusy(); }));
    ASSERT_TRUE(Run(operation::kProgramCommand, narrow));
    EXPECT_THAT(fake.Log({"Set 4", "R ", "W "}), EndsWith("Set 4=0, R 256+16, W 256+16, R 256+16"));
    ASSERT_TRUE(Run(operation::kReadCommand, wide));
    EXPECT_TRUE(Eventually([this] { return fake.Log({"Set 4"}).ends_with("Set 4=1, Set 4=0"); }));
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
    ASSERT_TRUE(Eventually([this] { return !worker.IsBusy(); }));
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
    if (held != "power-up") {
        ASSERT_TRUE(
            worker.Request(verifies ? operation::kVerifyCommand : operation::kReadCommand, &unit.unit));
    }
    if (ownerWait) {
        ASSERT_TRUE(owner.WaitFor(held));
    } else if (held == "transfer") {
        fake.WaitUntilHolding();
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
