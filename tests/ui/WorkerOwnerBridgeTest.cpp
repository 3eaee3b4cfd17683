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

// What reaches the user-interface thread, counted.
class CountingEvents : public WorkerEvents {
  public:
    void DeviceStateChanged(bool ready) override { states.push_back(ready); }
    void ProgressChanged() override { ++progressCalls; }
    void OperationEnded() override { ++ended; }
    void ReadDone() override { ++readsDone; }
    bool AskRetryAccess(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    void ReportDifference(const std::string& text) override { differences.push_back(text); }
    void NotifyCompletion(const std::string& text) override { notices.push_back(text); }

    std::vector<bool> states;
    int progressCalls = 0;
    int ended = 0;
    int readsDone = 0;
    std::vector<std::string> questions;
    std::vector<std::string> differences;
    std::vector<std::string> notices;
    bool answer = true;
};

class WorkerOwnerBridgeTest : public QObject {
    Q_OBJECT

    QObject context;
    CountingEvents events;
    std::unique_ptr<WorkerOwnerBridge> bridge;

  private slots:
    void init() {
        events = CountingEvents();
        bridge = std::make_unique<WorkerOwnerBridge>(context, events);
    }

    void aCallRunsOnTheUserInterfaceThreadAndGivesItsResult() {
        std::atomic<bool> result = false;
        std::atomic<bool> done = false;
        Qt::HANDLE taskThread = nullptr;
        std::jthread worker([&](std::stop_token stop) {
            result = CallOnUiThread(context, stop, [&] {
                taskThread = QThread::currentThreadId();
                return true;
            });
            done = true;
        });
        QTRY_VERIFY(done.load());
        QVERIFY(result.load());
        QCOMPARE(taskThread, QThread::currentThreadId());
    }

    void aStopEndsTheWaitWithoutTheUserInterfaceThreadAndTheTaskIsThenSkipped() {
        bool ran = false;
        std::atomic<bool> result = true;
        std::jthread worker([&](std::stop_token stop) {
            result = CallOnUiThread(context, stop, [&] {
                ran = true;
                return true;
            });
        });
        // This thread serves no events: only the stop can end the wait.
        std::this_thread::sleep_for(20ms);
        worker.request_stop();
        worker.join();
        QVERIFY(!result.load());
        QTest::qWait(20);
        QVERIFY(!ran);
    }

    void waitsCarryTheirTextsAndAnswers() {
        std::jthread worker([&](std::stop_token stop) {
            bridge->OperationEnded(stop);
            bridge->ReadDone(stop);
            events.answer = false;
            bridge->AskRetryAccess("again?", stop);
            bridge->ReportDifference("differs", stop);
            bridge->NotifyCompletion("done", stop);
        });
        QTRY_COMPARE(events.notices.size(), 1u);
        QCOMPARE(events.ended, 1);
        QCOMPARE(events.readsDone, 1);
        QCOMPARE(events.questions, std::vector<std::string>{"again?"});
        QCOMPARE(events.differences, std::vector<std::string>{"differs"});
        QCOMPARE(events.notices, std::vector<std::string>{"done"});
    }

    void aQuestionCutShortByTheStopAnswersNo() {
        std::atomic<bool> answer = true;
        std::jthread worker([&](std::stop_token stop) { answer = bridge->AskRetryAccess("again?", stop); });
        std::this_thread::sleep_for(10ms);
        worker.request_stop();
        worker.join();
        QVERIFY(!answer.load());
    }

    void paneTextsCarryTheirLabelsOnceReported() {
        QCOMPARE(bridge->CurrentStatus().pluginText, std::string());
        QCOMPARE(bridge->CurrentStatus().firmwareText, std::string());
        QCOMPARE(bridge->LastReportedState(), DeviceState::NoPlugin);
        bridge->SetPluginText("");
        bridge->SetFirmwareText("");
        QCOMPARE(bridge->CurrentStatus().pluginText, std::string("Plug-in: "));
        QCOMPARE(bridge->CurrentStatus().firmwareText, std::string("Fw: "));
        bridge->SetPluginText("1.2");
        bridge->SetFirmwareText("SIM 24C02");
        QCOMPARE(bridge->CurrentStatus().pluginText, std::string("Plug-in: 1.2"));
        QCOMPARE(bridge->CurrentStatus().firmwareText, std::string("Fw: SIM 24C02"));
    }

    void statesFromSixOnAreIgnored() {
        bridge->StoreState(DeviceState::Ready);
        bridge->StoreState(static_cast<DeviceState>(6));
        QCOMPARE(bridge->LastReportedState(), DeviceState::Ready);
        bridge->StoreState(DeviceState::HardwareUnplugged);
        QCOMPARE(bridge->CurrentStatus().state, DeviceState::HardwareUnplugged);
    }

    void postedStatesArriveInOrderWithoutWaiting() {
        std::jthread worker([&] {
            bridge->PostDeviceState(true);
            bridge->PostDeviceState(false);
        });
        worker.join();
        QVERIFY(events.states.empty());
        QTRY_COMPARE(events.states, (std::vector<bool>{true, false}));
    }

    void progressCallsAreGatheredAndTheLatestValuesShown() {
        bridge->SetProgressDisplay(true);
        QVERIFY(bridge->HasProgressDisplay());
        std::jthread worker([&] {
            bridge->SetProgressText("Program...");
            bridge->SetProgressRange(0x10, 0x8F);
            for (std::uint32_t position = 0x10; position <= 0x90; ++position) {
                bridge->SetProgressPosition(position);
            }
        });
        worker.join();
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
