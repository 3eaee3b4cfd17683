// The status bar's panes and the progress display that lies over its message pane.

#include <QMainWindow>
#include <QTest>

#include "ui/FrameStatusBar.h"
#include "ui/ProgressDisplay.h"
#include "ui/StateIcon.h"

namespace tessaly {
namespace {

class FrameStatusBarTest : public QObject {
    Q_OBJECT

    QMainWindow window;
    FrameStatusBar::Panes panes;
    FrameStatusBar* bar = nullptr;

  private slots:
    void init() {
        panes = {};
        bar = new FrameStatusBar([this] { return panes; }, &window);
        window.setStatusBar(bar);
    }

    void thePanesShowTheirInitialTextsThenFollowTheSourceByThemselves() {
        QCOMPARE(bar->PaneText(0), QStringLiteral("<->"));
        QCOMPARE(bar->PaneText(3), QStringLiteral("none"));
        QCOMPARE(bar->PaneText(5), QString());
        QCOMPARE(bar->StateIconPath(), QString());
        panes = {"Plug-in: 1.0", "Fw: SIM", "24C02", 1, DeviceState::Ready};
        QTRY_COMPARE(bar->PaneText(5), QStringLiteral("Ready"));
        QCOMPARE(bar->PaneText(1), QStringLiteral("Plug-in: 1.0"));
        QCOMPARE(bar->PaneText(2), QStringLiteral("Fw: SIM"));
        QCOMPARE(bar->PaneText(3), QStringLiteral("24C02"));
        QCOMPARE(bar->PaneText(4), QStringLiteral("I2C16"));
        QCOMPARE(bar->StateIconPath(), StateIconPath(DeviceState::Ready));
    }

    void theBusPaneNamesEachBusAndNothingForNone() {
        const QStringList names = {"I2C8", "I2C16", "SPI", ""};
        for (std::uint32_t bus = 0; bus <= FrameStatusBar::kNoBus; ++bus) {
            panes.busMode = bus;
            bar->Refresh();
            QCOMPARE(bar->PaneText(4), names[static_cast<int>(bus)]);
        }
    }

    void theProgressBarLiesOverTheMessagePaneFollowsItAndGoesWithTheDisplay() {
        window.resize(700, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto parts = [this] { return window.findChildren<QFrame*>().size(); };
        const auto before = parts();
        auto progress = std::make_unique<ProgressDisplay>(bar->MessagePane(), window);
        QVERIFY(progress->IsComplete());
        QCOMPARE(window.findChildren<QProgressBar*>().size(), 1);
        QCOMPARE(progress->BarGeometry(), bar->MessagePane().geometry());
        window.resize(900, 300);
        QTRY_COMPARE(progress->BarGeometry(), bar->MessagePane().geometry());
        QVERIFY(progress->BarGeometry().width() > 0);
        progress.reset();
        QCOMPARE(window.findChildren<QProgressBar*>().size(), 0);
        QCOMPARE(parts(), before);
    }

    void theProgressShowsTheStepAndThePositionInItsRange() {
        ProgressDisplay progress(bar->MessagePane(), window);
        progress.Show({"Verify...", 0x100, 0x1FF, 0x180});
        QCOMPARE(progress.Text(), QStringLiteral("Verify..."));
        QCOMPARE(progress.BarMaximum(), 0x100);
        QCOMPARE(progress.BarValue(), 0x80);
        // One past the last address when the step ends.
        progress.Show({"Verify...", 0x100, 0x1FF, 0x200});
        QCOMPARE(progress.BarValue(), 0x100);
        // A range too wide for the bar is scaled down, keeping the proportion.
        progress.Show({"Read...", 0, 0xFFFFFFFF, 0x80000000});
        QCOMPARE(progress.BarValue() * 2, progress.BarMaximum());
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::FrameStatusBarTest)
#include "FrameStatusBarTest.moc"
