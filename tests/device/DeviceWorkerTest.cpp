#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "FakeLibrary.h"
#include "QuickSettings.h"
#include "RecordingOwner.h"
#include "TestUnit.h"
#include "device/DeviceWorker.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

using fake::CallKind;
using test::FakeLibrary;
using test::kFakeProgrammer;
using test::kTestPluginDir;
using test::RecordingOwner;
using test::TestUnit;
using Kind = RecordingOwner::Kind;
using namespace std::chrono_literals;

WorkerSettings FastSettings() {
    return test::QuickSettings(20, 0);
}

class DeviceWorkerTest : public ::testing::Test {
  protected:
    void StartFake() { ASSERT_TRUE(worker.Start(kFakeProgrammer, "fake0", kTestPluginDir)); }

    // Starts the fake and waits for the first report.
    void StartReady() {
        StartFake();
        ASSERT_TRUE(owner.WaitFor(Kind::PostDeviceState));
    }

    // Waits until the worker has taken and finished a request.
    void WaitUntilIdle() {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (worker.IsBusy() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_FALSE(worker.IsBusy());
    }

    // The states stored so far, in order.
    std::vector<DeviceState> States() const {
        std::vector<DeviceState> states;
        for (const auto& event : owner.Events(Kind::StoreState)) {
            states.push_back(static_cast<DeviceState>(event.value));
        }
        return states;
    }

    // Starts, waits for the first report and runs one read of a small unit; false when it was dropped.
    bool ReadRuns(const std::string& plugin, const std::string& port) {
        const std::size_t reports = owner.Count(Kind::PostDeviceState);
        const std::size_t ended = owner.Count(Kind::OperationEnded);
        const std::size_t done = owner.Count(Kind::ReadDone);
        EXPECT_TRUE(worker.Start(plugin, port, kTestPluginDir));
        EXPECT_TRUE(owner.WaitFor(Kind::PostDeviceState, reports + 1));
        TestUnit unit(0x00, 0x0F);
        EXPECT_TRUE(worker.Request(operation::kReadCommand, &unit.unit));
        EXPECT_TRUE(owner.WaitFor(Kind::OperationEnded, ended + 1));
        WaitUntilIdle();
        return owner.Count(Kind::ReadDone) > done;
    }

    // The chip-present or hardware-plugged polls made within `time`.
    std::size_t PollsWithin(std::chrono::milliseconds time, std::uint32_t code) {
        fake.ClearRecord();
        std::this_thread::sleep_for(time);
        worker.Stop();
        std::size_t polls = 0;
        for (const auto& call : fake.Calls(CallKind::GetSessionFacility)) {
            polls += call.code == code ? 1 : 0;
        }
        return polls;
    }

    std::vector<std::uint32_t> SetCodes(std::uint32_t code) const {
        std::vector<std::uint32_t> values;
        for (const auto& call : fake.Calls(CallKind::SetSessionFacility)) {
            if (call.code == code) {
                values.push_back(call.value);
            }
        }
        return values;
    }

    FakeLibrary fake;
    RecordingOwner owner;
    DeviceWorker worker{owner, FastSettings()};
};

// Start, Stop and the first poll

struct FirstReportCase {
    const char* name;
    std::string plugin;
    std::string port;
    void (*configure)(fake::Config&);
    DeviceState state;
    const char* pluginText;
    const char* firmwareText;
    bool loaded;
    bool attached;
};

class FirstReportTest : public DeviceWorkerTest, public ::testing::WithParamInterface<FirstReportCase> {};

// Texts and state are stored before the state is posted, and ready only for a ready programmer.
TEST_P(FirstReportTest, ReportsTheStateWithTheTexts) {
    const FirstReportCase& c = GetParam();
    fake.Configure(c.configure);
    EXPECT_TRUE(worker.Start(c.plugin, c.port, kTestPluginDir));
    ASSERT_TRUE(owner.WaitFor(Kind::PostDeviceState));
    EXPECT_EQ(States(), (std::vector<DeviceState>{c.state}));
    const auto events = owner.Events();
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0].kind, Kind::PluginText);
    EXPECT_EQ(events[0].text, c.pluginText);
    EXPECT_EQ(events[1].kind, Kind::FirmwareText);
    EXPECT_EQ(events[1].text, c.firmwareText);
    EXPECT_EQ(events[2].kind, Kind::StoreState);
    EXPECT_EQ(events[3].kind, Kind::PostDeviceState);
    EXPECT_EQ(events[3].value, c.state == DeviceState::Ready ? 1u : 0u);
    EXPECT_EQ(worker.Plugin() != nullptr, c.loaded);
    EXPECT_EQ(worker.IsAttached(), c.attached);
    if (c.loaded && c.attached && c.state != DeviceState::Ready) {
        EXPECT_TRUE(fake.Calls(CallKind::GetFirmware).empty()) << "no firmware asked without a driver";
    }
}

void NoChange(fake::Config&) {}
void NoDriverInstalled(fake::Config& config) {
    config.driverInstalled = false;
}

INSTANTIATE_TEST_SUITE_P(
    Start, FirstReportTest,
    ::testing::Values(FirstReportCase{"Ready", kFakeProgrammer, "fake0", NoChange, DeviceState::Ready,
                                      "fake 1.0", "FW 2.1", true, true},
                      FirstReportCase{"MissingPlugin", "no-such-plugin.so", "fake0", NoChange,
                                      DeviceState::NoPlugin, "", "", false, false},
                      FirstReportCase{"NoneConfigured", GetMessageText(msg::kNone), "", NoChange,
                                      DeviceState::NoPlugin, "", "", false, false},
                      FirstReportCase{"MissingDriver", kFakeProgrammer, "fake0", NoDriverInstalled,
                                      DeviceState::NoDriver, "fake 1.0", "", true, true},
                      FirstReportCase{"FailedAttach", kFakeProgrammer, "COM1", NoChange,
                                      DeviceState::NoDriver, "fake 1.0", "", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceWorkerTest, PollPowersTheChipOnlyToAskForIt) {
    StartReady();
    worker.Stop();
    const auto calls = fake.Calls();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].kind == CallKind::GetSessionFacility && calls[i].code == PGM_SESSION_CHIP_PRESENT) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(calls[i - 1].kind, CallKind::SetSessionFacility);
            EXPECT_EQ(calls[i - 1].code, static_cast<std::uint32_t>(PGM_SESSION_POWER));
            EXPECT_EQ(calls[i - 1].value, 1u);
            ASSERT_LT(i + 1, calls.size());
            EXPECT_EQ(calls[i + 1].code, static_cast<std::uint32_t>(PGM_SESSION_POWER));
            EXPECT_EQ(calls[i + 1].value, 0u);
        }
    }
    EXPECT_FALSE(fake.Record().powered);
}

TEST_F(DeviceWorkerTest, UnidentifiedAndUnpluggedHardwareAreReported) {
    fake.Configure([](fake::Config& config) { config.hardwareIdentified = false; });
    StartReady();
    fake.Configure([](fake::Config& config) {
        config.hardwareIdentified = true;
        config.hardwarePlugged = false;
    });
    ASSERT_TRUE(owner.WaitFor(Kind::PostDeviceState, 2));
    EXPECT_EQ(States(),
              (std::vector<DeviceState>{DeviceState::HardwareUndefined, DeviceState::HardwareUnplugged}));
    EXPECT_EQ(owner.Events(Kind::FirmwareText)[0].text, "FW 2.1");
}

TEST_F(DeviceWorkerTest, RemovedChipIsReportedOnceAndAnUnchangedStateNever) {
    StartReady();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(owner.Count(Kind::PostDeviceState), 1u);
    fake.Configure([](fake::Config& config) { config.chipPresent = false; });
    ASSERT_TRUE(owner.WaitFor(Kind::PostDeviceState, 2));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(States(), (std::vector<DeviceState>{DeviceState::Ready, DeviceState::NoChip}));
    const auto posts = owner.Events(Kind::PostDeviceState);
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[1].value, 0u);
}

TEST_F(DeviceWorkerTest, PollsFollowOneAnotherPacedByThePowerUpDelay) {
    WorkerSettings settings = FastSettings();
    settings.delayPowerUp = 20;
    worker.UpdateSettings(settings);
    StartReady();
    const std::size_t polls = PollsWithin(220ms, PGM_SESSION_CHIP_PRESENT);
    EXPECT_GE(polls, 4u);
    EXPECT_LE(polls, 12u);
}

TEST_F(DeviceWorkerTest, PollsThatPowerNoChipAreSpaced) {
    fake.Configure([](fake::Config& config) { config.hardwarePlugged = false; });
    StartReady();
    const std::size_t polls = PollsWithin(200ms, PGM_SESSION_HARDWARE_PLUGGED);
    EXPECT_GE(polls, 3u);
    EXPECT_LE(polls, 12u);
}

TEST_F(DeviceWorkerTest, StartAgainEndsTheOldSessionAndReportsAgain) {
    StartReady();
    StartFake();
    ASSERT_TRUE(owner.WaitFor(Kind::PostDeviceState, 2));
    EXPECT_EQ(fake.Calls(CallKind::Attach).size(), 2u);
    EXPECT_EQ(fake.Calls(CallKind::Detach).size(), 1u);
    EXPECT_EQ(States(), (std::vector<DeviceState>{DeviceState::Ready, DeviceState::Ready}));
}

TEST_F(DeviceWorkerTest, StopDetachesAndUnloadsAndDoesNothingWithoutThread) {
    EXPECT_TRUE(worker.Stop());
    EXPECT_TRUE(fake.Calls().empty());
    StartReady();
    EXPECT_TRUE(worker.Stop());
    EXPECT_EQ(worker.Plugin(), nullptr);
    EXPECT_EQ(fake.Calls(CallKind::Detach).size(), 1u);
    EXPECT_TRUE(worker.Stop());
}

TEST_F(DeviceWorkerTest, DestroyingARunningWorkerStopsIt) {
    {
        RecordingOwner other;
        DeviceWorker running(other, FastSettings());
        ASSERT_TRUE(running.Start(kFakeProgrammer, "fake0", kTestPluginDir));
        ASSERT_TRUE(other.WaitFor(Kind::PostDeviceState));
    }
    EXPECT_EQ(fake.Calls(CallKind::Detach).size(), 1u);
}

// Bus mode and I/O delay

// Only I2C modes 0 and 1 are sent; SPI (2) is stored without a call and 3 is refused.
TEST_F(DeviceWorkerTest, BusModeIsStoredAndSentToTheSession) {
    EXPECT_FALSE(worker.SetBusMode(1));
    EXPECT_EQ(worker.BusMode(), 1u);
    StartReady();
    EXPECT_TRUE(worker.SetBusMode(0));
    EXPECT_FALSE(worker.SetBusMode(2));
    EXPECT_EQ(worker.BusMode(), 2u);
    EXPECT_FALSE(worker.SetBusMode(3));
    EXPECT_EQ(worker.BusMode(), 2u);
    EXPECT_EQ(SetCodes(PGM_SESSION_WIDE_ADDRESSING), (std::vector<std::uint32_t>{1, 0}));
    fake.Configure([](fake::Config& config) { config.setStatus = 3; });
    EXPECT_FALSE(worker.SetBusMode(1)) << "refused by the plug-in";
}

TEST_F(DeviceWorkerTest, BusModeDuringARequestIsSentByTheNextPoll) {
    StartReady();
    owner.Hold(Kind::OperationEnded);
    TestUnit unit(0x00, 0x0F);
    ASSERT_TRUE(worker.Request(operation::kReadCommand, &unit.unit));
    ASSERT_TRUE(owner.WaitUntilHolding());
    fake.ClearRecord();
    EXPECT_FALSE(worker.SetBusMode(1));
    EXPECT_TRUE(SetCodes(PGM_SESSION_WIDE_ADDRESSING).empty());
    owner.Release();
    WaitUntilIdle();
    ASSERT_TRUE(owner.WaitFor(Kind::ReadDone));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (SetCodes(PGM_SESSION_WIDE_ADDRESSING).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(SetCodes(PGM_SESSION_WIDE_ADDRESSING), (std::vector<std::uint32_t>{1}));
}

// The user turns from an I2C16 unit to an I2C8 one while a read runs and programs it as soon as the worker is
// free, before any poll: every transfer of that program is made with 8-bit word addresses.
TEST_F(DeviceWorkerTest, RequestRunsInItsUnitsBusModeThoughNoPollSentIt) {
    StartReady();
    ASSERT_TRUE(worker.SetBusMode(1));
    TestUnit wide(0x00, 0x0F);
    wide.unit.bus = BusKind::I2C16;
    TestUnit narrow(0x100, 0x10F);
    owner.Hold(Kind::OperationEnded);
    ASSERT_TRUE(worker.Request(operation::kReadCommand, &wide.unit));
    ASSERT_TRUE(owner.WaitUntilHolding());
    worker.SetBusMode(0);
    owner.Release();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (worker.IsBusy() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_TRUE(worker.Request(operation::kProgramCommand, &narrow.unit));
    ASSERT_TRUE(owner.WaitFor(Kind::OperationEnded, 2));
    WaitUntilIdle();
    std::uint32_t wideAddressing = 0;
    std::size_t transfers = 0;
    for (const auto& call : fake.Calls()) {
        if (call.kind == CallKind::SetSessionFacility && call.code == PGM_SESSION_WIDE_ADDRESSING) {
            wideAddressing = call.value;
        } else if ((call.kind == CallKind::Read || call.kind == CallKind::Write) && call.address >= 0x100) {
            EXPECT_EQ(wideAddressing, 0u) << "transfer at 0x" << std::hex << call.address;
            ++transfers;
        }
    }
    EXPECT_EQ(transfers, 3u);
}

TEST_F(DeviceWorkerTest, IoDelayNeedsASession) {
    EXPECT_FALSE(worker.ApplyIoDelay());
    StartReady();
    WorkerSettings settings = FastSettings();
    settings.delayIO = 17;
    worker.UpdateSettings(settings);
    EXPECT_TRUE(worker.ApplyIoDelay());
    EXPECT_EQ(fake.Record().ioDelay, 17);
}

// Requests

TEST_F(DeviceWorkerTest, RequestNeedsAnOperationAndAUnit) {
    TestUnit unit(0x00, 0x0F);
    EXPECT_FALSE(worker.Request(0, &unit.unit));
    EXPECT_FALSE(worker.Request(operation::kReadCommand, nullptr));
    EXPECT_FALSE(worker.IsBusy());
}

TEST_F(DeviceWorkerTest, SecondRequestIsRefusedAndLeavesThePendingOne) {
    StartReady();
    owner.Hold(Kind::OperationEnded);
    TestUnit first(0x00, 0x0F);
    TestUnit second(0x100, 0x10F);
    ASSERT_TRUE(worker.Request(operation::kReadCommand, &first.unit));
    EXPECT_TRUE(worker.IsBusy());
    EXPECT_FALSE(worker.Request(operation::kProgramCommand, &second.unit));
    owner.Release();
    WaitUntilIdle();
    for (const auto& call : fake.Transfers()) {
        EXPECT_EQ(call.kind, CallKind::Read);
        EXPECT_LT(call.address, 0x10u);
    }
}

// The read runs with the chip powered, ends before it says it is done, and the worker polls on afterwards.
TEST_F(DeviceWorkerTest, ReadRequestRunsPoweredEndsThenSaysTheReadIsDone) {
    fake.Configure([](fake::Config& config) { config.memory[0x05] = 0x5A; });
    StartReady();
    fake.ClearRecord();
    TestUnit unit(0x00, 0x0F);
    ASSERT_TRUE(worker.Request(operation::kReadCommand, &unit.unit));
    ASSERT_TRUE(owner.WaitFor(Kind::ReadDone));
    WaitUntilIdle();
    EXPECT_EQ(unit.Image(0x05), 0x5A);
    std::vector<Kind> ends;
    for (const auto& event : owner.Events()) {
        if (event.kind == Kind::OperationEnded || event.kind == Kind::ReadDone ||
            event.kind == Kind::NotifyCompletion) {
            ends.push_back(event.kind);
        }
    }
    EXPECT_EQ(ends, (std::vector<Kind>{Kind::OperationEnded, Kind::ReadDone}));
    fake.Configure([](fake::Config& config) { config.chipPresent = false; });
    ASSERT_TRUE(owner.WaitFor(Kind::PostDeviceState, 2));
    EXPECT_EQ(States().back(), DeviceState::NoChip);
    worker.Stop();
    // The power switched last before the first read is on, the one switched first after it is off.
    std::vector<std::uint32_t> power;
    bool readSeen = false;
    for (const auto& call : fake.Calls()) {
        if (call.kind == CallKind::Read && !readSeen) {
            readSeen = true;
            ASSERT_FALSE(power.empty());
            EXPECT_EQ(power.back(), 1u);
            power.clear();
        } else if (call.kind == CallKind::SetSessionFacility && call.code == PGM_SESSION_POWER) {
            power.push_back(call.value);
        }
    }
    ASSERT_TRUE(readSeen);
    ASSERT_FALSE(power.empty());
    EXPECT_EQ(power.front(), 0u);
}

// Without a plug-in the thread waits for nothing but a request or the stop, so that case also shows that a
// request wakes it.
TEST_F(DeviceWorkerTest, RequestWithoutSessionPluginOrProgressDisplayIsDroppedWithOnlyTheEnd) {
    EXPECT_FALSE(ReadRuns(kFakeProgrammer, "COM1"));
    EXPECT_FALSE(ReadRuns("no-such-plugin.so", "fake0"));
    owner.SetProgressDisplay(false);
    EXPECT_FALSE(ReadRuns(kFakeProgrammer, "fake0"));
    EXPECT_TRUE(fake.Transfers().empty());
    EXPECT_EQ(owner.Count(Kind::ProgressText), 0u);
}

// Stopping never deadlocks, whatever the worker waits for

class StopWhileWaitingTest : public DeviceWorkerTest, public ::testing::WithParamInterface<Kind> {
  protected:
    // Stops the worker on another thread and tells whether Stop returned in time. When it did not, the
    // held call is released so that the test can end.
    bool StopsInTime() {
        auto stopped = std::async(std::launch::async, [this] { return worker.Stop(); });
        if (stopped.wait_for(10s) == std::future_status::ready) {
            return true;
        }
        owner.Release();
        stopped.wait();
        return false;
    }
};

TEST_P(StopWhileWaitingTest, StopEndsTheWait) {
    const Kind held = GetParam();
    if (held == Kind::AskRetryAccess) {
        fake.Configure([](fake::Config& config) { config.faults = {{CallKind::Read, 1, 1, 0}}; });
    }
    if (held == Kind::ReportDifference) {
        fake.Configure([](fake::Config& config) { config.memory[0x03] = 0x00; });
    }
    StartReady();
    owner.Hold(held);
    TestUnit unit(0x00, 0x0F, 0xFF);
    const OperationMask operation = held == Kind::NotifyCompletion || held == Kind::ReportDifference
                                        ? operation::kVerifyCommand
                                        : operation::kReadCommand;
    ASSERT_TRUE(worker.Request(operation, &unit.unit));
    ASSERT_TRUE(owner.WaitUntilHolding());
    EXPECT_TRUE(StopsInTime());
    const auto waits = owner.Events(held);
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_TRUE(waits[0].stopped);
}

INSTANTIATE_TEST_SUITE_P(EveryWait, StopWhileWaitingTest,
                         ::testing::Values(Kind::OperationEnded, Kind::ReadDone, Kind::AskRetryAccess,
                                           Kind::ReportDifference, Kind::NotifyCompletion));

TEST_F(DeviceWorkerTest, StopEndsATransferThatHangsInThePlugin) {
    StartReady();
    fake.Configure([](fake::Config& config) { config.holdTransfers = true; });
    TestUnit unit(0x00, 0x0F);
    ASSERT_TRUE(worker.Request(operation::kReadCommand, &unit.unit));
    fake.WaitUntilHolding();
    auto stopped = std::async(std::launch::async, [this] { return worker.Stop(); });
    ASSERT_EQ(stopped.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(owner.Count(Kind::ReadDone), 0u);
}

TEST_F(DeviceWorkerTest, StopCutsALongPowerUpDelayShort) {
    WorkerSettings settings = FastSettings();
    settings.delayPowerUp = 60000;
    worker.UpdateSettings(settings);
    StartFake();
    std::this_thread::sleep_for(20ms);
    const auto began = std::chrono::steady_clock::now();
    worker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - began, 10s);
}

TEST(DeviceStateTest, UnknownStateHasTheNoPluginText) {
    EXPECT_STREQ(GetMessageText(DeviceStateMessage(DeviceState::HardwareUnplugged)), "Hardware unplugged");
    EXPECT_STREQ(GetMessageText(DeviceStateMessage(static_cast<DeviceState>(9))), "No plugin");
}

}  // namespace
}  // namespace tessaly
