#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "RecordingPrompt.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/OptionsDialog.h"

using tessaly::AppSettings;
using tessaly::OptionsDialog;
using tessaly::test::RecordingPrompt;
namespace msg = tessaly::msg;

namespace {

constexpr char kSim[] = "tessaly-sim.so";

AppSettings StartSettings(const char* plugin, const char* port, std::int32_t delayIO) {
    AppSettings settings;
    settings.pluginName.Set(plugin);
    settings.portName.Set(port);
    settings.delayIO = delayIO;
    settings.delayPowerUp = 200;
    settings.pulsePGM = 20;
    settings.pulseFix = 200;
    settings.mruSize = 8;
    settings.memoryInit = 255;
    return settings;
}

template <typename Widget>
Widget* Find(const QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
    if (widget == nullptr) {
        qFatal("no widget %s", name);
    }
    return widget;
}

QStringList Entries(const QComboBox& list) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i) {
        entries << list.itemText(i);
    }
    return entries;
}

QComboBox* Plugins(const QWidget& dialog) {
    return Find<QComboBox>(dialog, "plugin");
}

QComboBox* Ports(const QWidget& dialog) {
    return Find<QComboBox>(dialog, "port");
}

QSlider* Slider(const QWidget& dialog) {
    return Find<QSlider>(dialog, "delayFactor");
}

QString DelayCaption(const QWidget& dialog) {
    return Find<QGroupBox>(dialog, "delayFactorGroup")->title();
}

bool SliderShown(const QWidget& dialog) {
    return !Slider(dialog)->isHidden() && Slider(dialog)->isEnabled() &&
           !Find<QGroupBox>(dialog, "delayFactorGroup")->isHidden();
}

void ShowHardwarePage(OptionsDialog& dialog) {
    dialog.show();
    Find<QTabWidget>(dialog, "tabs")->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
}

}  // namespace

class HardwarePageTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The simulator keeps its driver flag in its own directory, here a fresh one.
        qputenv("TESSALY_SIM_DIR", simState_.path().toLocal8Bit());
        qunsetenv("TESSALY_SIM_FAULTS");
        QVERIFY(QFile::copy(QStringLiteral(TESSALY_SIM_PLUGIN), simDir_.filePath(kSim)));
        QFile broken(simDir_.filePath(QStringLiteral("broken.so")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a shared library");
    }

    void init() {
        prompt_.messages.clear();
        prompt_.questions.clear();
        QFile::remove(DriverFlag());
    }

    void theSimulatorIsListedWithItsPortsAndDelayRange() {
        // Stored names are found whatever their case.
        OptionsDialog dialog(StartSettings("TESSALY-SIM.SO", "24c16", 4), prompt_, ChipDirectory());

        const QStringList plugins = Entries(*Plugins(dialog));
        QCOMPARE(plugins.size(), 2);
        QCOMPARE(plugins[0], QStringLiteral("None"));
        QVERIFY(plugins[1].startsWith(QStringLiteral("tessaly-sim.so->")));
        QCOMPARE(Plugins(dialog)->currentIndex(), 1);

        const QStringList ports = Entries(*Ports(dialog));
        QCOMPARE(ports.first(), QStringLiteral("None"));
        for (const char* port : {"24C02", "24C16", "24C512", "25LC256"}) {
            QVERIFY2(ports.contains(QLatin1String(port)), port);
        }
        QCOMPARE(Ports(dialog)->currentText(), QStringLiteral("24C16"));
        QVERIFY(prompt_.questions.empty());
        QVERIFY(SliderShown(dialog));
        QCOMPARE(Slider(dialog)->minimum(), 1);
        QCOMPARE(Slider(dialog)->maximum(), 10);
        QCOMPARE(Slider(dialog)->value(), 4);
        QCOMPARE(DelayCaption(dialog), QStringLiteral("I/O delay factor (4)"));

        dialog.accept();
        QCOMPARE(dialog.Settings().pluginName.View(), std::string_view(kSim));
        QCOMPARE(dialog.Settings().portName.View(), std::string_view("24C16"));
    }

    void aFactorOutsideTheRangeBecomesTheMinimumOnceDrawn_data() {
        QTest::addColumn<int>("stored");
        QTest::newRow("0") << 0;
        QTest::newRow("negative") << -3;
        QTest::newRow("above") << 11;
    }
    void aFactorOutsideTheRangeBecomesTheMinimumOnceDrawn() {
        QFETCH(int, stored);
        OptionsDialog dialog(StartSettings(kSim, "24C02", stored), prompt_, ChipDirectory());
        QCOMPARE(Slider(dialog)->value(), 1);
        QCOMPARE(DelayCaption(dialog), QStringLiteral("I/O delay factor (%1)").arg(stored));
        QCOMPARE(dialog.Settings().delayIO, stored);

        ShowHardwarePage(dialog);
        QTRY_COMPARE(dialog.Settings().delayIO, 1);
        QCOMPARE(DelayCaption(dialog), QStringLiteral("I/O delay factor (1)"));
    }

    void theFactorFollowsTheSlider() {
        OptionsDialog dialog(StartSettings(kSim, "24C02", 2), prompt_, ChipDirectory());
        ShowHardwarePage(dialog);
        Slider(dialog)->setValue(7);
        QTRY_COMPARE(dialog.Settings().delayIO, 7);
        QCOMPARE(DelayCaption(dialog), QStringLiteral("I/O delay factor (7)"));
        Find<QDialogButtonBox>(dialog, "")->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Settings().delayIO, 7);
    }

    // Without a plug-in that loads, only "None" is offered for the port and the slider is hidden; the
    // chosen or stored plug-in name is kept (when given).
    void noPluginListsNoPorts_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("chooseNone");
        QTest::addColumn<bool>("emptyDirectory");
        QTest::addColumn<int>("pluginIndex");
        QTest::addColumn<QString>("kept");
        QTest::newRow("None chosen") << kSim << true << false << 0 << "None";
        QTest::newRow("unknown name") << "gone.so" << false << false << -1 << "gone.so";
        QTest::newRow("no plug-ins") << kSim << false << true << 0 << QString();
    }
    void noPluginListsNoPorts() {
        QFETCH(QString, stored);
        QFETCH(bool, chooseNone);
        QFETCH(bool, emptyDirectory);
        QFETCH(int, pluginIndex);
        QFETCH(QString, kept);
        QTemporaryDir empty;
        const std::string directory = emptyDirectory ? empty.path().toStdString() + '/' : ChipDirectory();
        OptionsDialog dialog(StartSettings(qPrintable(stored), "24C02", 1), prompt_, directory);
        if (chooseNone) {
            Plugins(dialog)->setCurrentIndex(0);
        }
        QCOMPARE(Plugins(dialog)->currentIndex(), pluginIndex);
        QCOMPARE(Entries(*Ports(dialog)), QStringList{QStringLiteral("None")});
        QCOMPARE(Ports(dialog)->currentIndex(), 0);
        QVERIFY(!SliderShown(dialog));
        if (kept.isEmpty()) {
            return;
        }
        dialog.accept();
        QCOMPARE(QString::fromStdString(std::string(dialog.Settings().pluginName.View())), kept);
        QCOMPARE(dialog.Settings().portName.View(), std::string_view("None"));
    }

    void choosingThePluginListsItsPorts() {
        OptionsDialog dialog(StartSettings("None", "None", 1), prompt_, ChipDirectory());
        QCOMPARE(Plugins(dialog)->currentIndex(), 0);
        QCOMPARE(Ports(dialog)->count(), 1);
        Plugins(dialog)->setCurrentIndex(1);
        QVERIFY(Ports(dialog)->count() > 10);
        QCOMPARE(Ports(dialog)->currentIndex(), 0);
        QVERIFY(SliderShown(dialog));
    }

    void aPluginThatNoLongerLoadsListsNoPorts() {
        QTemporaryDir directory;
        QVERIFY(QFile::copy(QStringLiteral(TESSALY_SIM_PLUGIN),
                            directory.filePath(QStringLiteral("vanishing.so"))));
        OptionsDialog dialog(StartSettings("None", "None", 1), prompt_, directory.path().toStdString() + '/');
        QCOMPARE(Plugins(dialog)->count(), 2);

        QVERIFY(QFile::remove(directory.filePath(QStringLiteral("vanishing.so"))));
        Plugins(dialog)->setCurrentIndex(1);
        QCOMPARE(Entries(*Ports(dialog)), QStringList{QStringLiteral("None")});
        QCOMPARE(Ports(dialog)->currentIndex(), 0);
        QVERIFY(!SliderShown(dialog));
        QVERIFY(prompt_.questions.empty());
        dialog.accept();
        QCOMPARE(dialog.Settings().pluginName.View(), std::string_view("vanishing.so"));
    }

    void aMissingDriverIsOfferedAtOnce() {
        CreateDriverFlag();
        OptionsDialog dialog(StartSettings("None", "None", 1), prompt_, ChipDirectory());
        QVERIFY(prompt_.questions.empty());

        Plugins(dialog)->setCurrentIndex(1);
        QCOMPARE(prompt_.questions.size(), 1u);
        QCOMPARE(prompt_.questions[0].caption, std::string(tessaly::GetMessageText(msg::kDriverInstalling)));
        QCOMPARE(prompt_.questions[0].text, std::string(tessaly::GetMessageText(msg::kAskInstallDriver)));
        // Answered No: the choice stays and its ports are listed all the same.
        QCOMPARE(Plugins(dialog)->currentIndex(), 1);
        QVERIFY(Ports(dialog)->count() > 10);
        QVERIFY(QFile::exists(DriverFlag()));
        QVERIFY(prompt_.messages.empty());
    }

    void answeringYesInstallsTheDriver() {
        CreateDriverFlag();
        RecordingPrompt yes(true);
        OptionsDialog dialog(StartSettings(kSim, "None", 1), yes, ChipDirectory());
        QCOMPARE(yes.questions.size(), 1u);
        QVERIFY(!QFile::exists(DriverFlag()));
        QVERIFY(yes.messages.empty());

        // Installed now, so choosing the plug-in again asks nothing.
        Plugins(dialog)->setCurrentIndex(0);
        Plugins(dialog)->setCurrentIndex(1);
        QCOMPARE(yes.questions.size(), 1u);
    }

  private:
    std::string ChipDirectory() const { return simDir_.path().toStdString() + '/'; }
    QString DriverFlag() const { return simState_.filePath(QStringLiteral("driver-uninstalled")); }
    void CreateDriverFlag() const {
        QFile flag(DriverFlag());
        QVERIFY(flag.open(QIODevice::WriteOnly));
    }

    QTemporaryDir simDir_;
    QTemporaryDir simState_;
    RecordingPrompt prompt_;
};

QTEST_MAIN(HardwarePageTest)
#include "HardwarePageTest.moc"
