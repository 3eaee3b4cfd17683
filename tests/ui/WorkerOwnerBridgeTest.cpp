// The device worker's owner in the desktop, driven from a thread of the test's own as the worker would.

#include <QTest>
#include <atomic>
#include <chrono>
#include <stop_token>
#include <thread>

#include "ui/UiThreadCall.h"
#include "ui/WorkerOwnerBridge.h"

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

// What reaches the user-interface thread, recorded, and marked when it arrives on another thread.
class RecordingEvents : public WorkerEvents {
  public:
    void DeviceStateChanged(bool ready) override { states.push_back(ready); }
    void ProgressChanged() override { ++progressCalls; }
    void OperationEnded() override { Record("ended"); }
    void ReadDone() override { Record("read"); }
    bool AskRetryAccess(const std::string& text) override {
        Record("ask " + text);
        return true;
    }
    void ReportDifference(const std::string& text, const std::vector<ItemDifference>&) override {
        Record("differs " + text);
    }
    bool AskProgramWithoutBackup(const std::string&) override { return false; }
    void NotifyCompletion(const std::string& text) override { Record("done " + text); }
    void Record(const std::string& call) {
        const bool onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        calls.push_back(onUiThread ? call : call + " elsewhere");
    }

    std::vector<bool> states;
    int progressCalls = 0;
    Texts calls;
};

class WorkerOwnerBridgeTest : public QObject {
    Q_OBJECT

    QObject context;
    RecordingEvents events;
    std::unique_ptr<WorkerOwnerBridge> bridge;

  private slots:
    void init() {
        events = RecordingEvents();
        bridge = std::make_unique<WorkerOwnerBridge>(context, events);
    }

    // This thread serves no events meanwhile: only the stop can end the wait. A question cut short so
    // answers No.
    void aStopEndsTheWaitAndTheTaskIsThenSkipped() {
        bool ran = false;
        std::atomic<bool> result = true;
        std::atomic<bool> answer = true;
        std::jthread worker([&](std::stop_token stop) {
            result = CallOnUiThread(context, stop, [&] { return ran = true; });
            answer = bridge->AskRetryAccess("again?", stop);
        });
        std::this_thread::sleep_for(20ms);
        worker.request_stop();
        worker.join();
        QVERIFY(!result.load());
        QVERIFY(!answer.load());
        QTest::qWait(20);
        QVERIFY(!ran);
        QVERIFY(events.calls.empty());
    }

    // Each wait runs its call on the user-interface thread.
    void waitsCarryTheirTextsAndAnswersInOrder() {
        std::atomic<bool> answer = false;
        std::jthread worker([&](std::stop_token stop) {
            bridge->OperationEnded(stop);
            bridge->ReadDone(stop);
            answer = bridge->AskRetryAccess("again?", stop);
            bridge->ReportDifference("at 10", {}, stop);
            bridge->NotifyCompletion("ok", stop);
        });
        QTRY_COMPARE(events.calls.size(), 5u);
        QCOMPARE(events.calls, (Texts{"ended", "read", "ask again?", "differs at 10", "done ok"}));
        worker.join();
        QVERIFY(answer.load());
    }

    // The pane texts carry their labels once reported; states from six on are ignored.
    void theStatusHoldsWhatWasReported() {
        QCOMPARE(bridge->CurrentStatus().pluginText, std::string());
        QCOMPARE(bridge->LastReportedState(), DeviceState::NoPlugin);
        bridge->SetPluginText("");
        QCOMPARE(bridge->CurrentStatus().pluginText, std::string("Plug-in: "));
        bridge->SetPluginText("1.2");
        bridge->SetFirmwareText("SIM 24C02");
        QCOMPARE(bridge->CurrentStatus().pluginText, std::string("Plug-in: 1.2"));
        QCOMPARE(bridge->CurrentStatus().firmwareText, std::string("Fw: SIM 24C02"));
        bridge->StoreState(DeviceState::Ready);
        bridge->StoreState(static_cast<DeviceState>(6));
        QCOMPARE(bridge->LastReportedState(), DeviceState::Ready);
        bridge->StoreState(DeviceState::HardwareUnplugged);
        QCOMPARE(bridge->CurrentStatus().state, DeviceState::HardwareUnplugged);
    }

    void postedStatesArriveInOrderWithoutWaiting() {
        std::jthread([&] {
            bridge->PostDeviceState(true);
            bridge->PostDeviceState(false);
        }).join();
        QVERIFY(events.states.empty());
        QTRY_COMPARE(events.states, (std::vector<bool>{true, false}));
    }

    void progressCallsAreGatheredAndTheLatestValuesShown() {
        bridge->SetProgressDisplay(true);
        QVERIFY(bridge->HasProgressDisplay());
        std::jthread([&] {
            bridge->SetProgressText("Program...");
            bridge->SetProgressRange(0x10, 0x8F);
            for (std::uint32_t position = 0x10; position <= 0x90; ++position) {
                bridge->SetProgressPosition(position);
            }
        }).join();
        QTRY_VERIFY(events.progressCalls > 0);
        QCOMPARE(events.progressCalls, 1);
        const WorkerOwnerBridge::Progress progress = bridge->CurrentProgress();
        QCOMPARE(progress.text, std::string("Program..."));
        QCOMPARE(progress.first, 0x10u);
        QCOMPARE(progress.last, 0x8Fu);
        QCOMPARE(progress.position, 0x90u);
        bridge->ResetProgress();
        QCOMPARE(bridge->CurrentProgress().text, std::string());
        bridge->SetProgressDisplay(false);
        QVERIFY(!bridge->HasProgressDisplay());
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::WorkerOwnerBridgeTest)
#include "WorkerOwnerBridgeTest.moc"
