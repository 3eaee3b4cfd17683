// The Options dialog over a copy of the settings: the General page, the fields checked on OK page by page,
// and the Hardware page over a directory with the chip simulator's plug-in and a file that is none.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "RecordingPrompt.h"
#include "SimulatorSandbox.h"
#include "TestFiles.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DialogUnits.h"
#include "ui/OptionsDialog.h"

namespace tessaly {
namespace {

constexpr char kSim[] = "tessaly-sim.so";

AppSettings StartSettings(const char* plugin = "None", const char* port = "None", std::int32_t delayIO = 1) {
    AppSettings settings;
    settings.pluginName.Set(plugin);
    settings.portName.Set(port);
    settings.delayIO = delayIO;
    settings.delayPowerUp = 200;
    settings.pulsePGM = 20;
    settings.pulseFix = 200;
    settings.mruSize = 8;
    settings.memoryInit = 255;
    settings.options = kOptionListResize | kOptionEnableItemTips | kOptionEditOnError |
                       kOptionConfirmProgram | kOptionConfirmVerify;
    return settings;
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir emptyDir;
    QTemporaryDir pluginDir;
    // The simulator keeps its driver flag in its own directory, here a fresh one.
    test::SimulatorSandbox sandbox;
    test::RecordingPrompt prompt;

    template <typename Widget>
    static Widget* Find(const QWidget& dialog, const char* name) {
        auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
        if (widget == nullptr) {
            qFatal("no widget %s", name);
        }
        return widget;
    }
    static QLineEdit* Edit(const QWidget& dialog, const char* name) { return Find<QLineEdit>(dialog, name); }
    static QComboBox* Plugins(const QWidget& dialog) { return Find<QComboBox>(dialog, "plugin"); }
    static QComboBox* Ports(const QWidget& dialog) { return Find<QComboBox>(dialog, "port"); }
    static QSlider* Slider(const QWidget& dialog) { return Find<QSlider>(dialog, "delayFactor"); }
    static std::string Text(int message) { return GetMessageText(static_cast<std::uint16_t>(message)); }
    static void PressOk(const QWidget& dialog) {
        Find<QDialogButtonBox>(dialog, "")->button(QDialogButtonBox::Ok)->click();
    }

    // The Hardware page as "PLUGIN INDEX | PORT of COUNT | SLIDER", a port list of the simulator's length
    // as "many", the slider as "MIN-MAX CAPTION" or "hidden".
    static QString Hardware(const QWidget& dialog) {
        const QComboBox* ports = Ports(dialog);
        const QSlider* slider = Slider(dialog);
        const QGroupBox* group = Find<QGroupBox>(dialog, "delayFactorGroup");
        const bool shown = !slider->isHidden() && slider->isEnabled() && !group->isHidden();
        const QString range =
            QStringLiteral("%1-%2 ").arg(slider->minimum()).arg(slider->maximum()) + group->title();
        const QString count = ports->count() > 10 ? QStringLiteral("many") : QString::number(ports->count());
        return QStringLiteral("%1 | %2 of %3 | %4")
            .arg(Plugins(dialog)->currentIndex())
            .arg(ports->currentText(), count, shown ? range : QStringLiteral("hidden"));
    }

    std::string Empty() const { return emptyDir.path().toStdString() + '/'; }
    std::string WithPlugins() const { return pluginDir.path().toStdString() + '/'; }
    QString DriverFlag() const {
        return QString::fromStdString((sandbox.ChipDirectory() / "driver-uninstalled").string());
    }

    static void ShowHardwarePage(OptionsDialog& dialog) {
        dialog.show();
        Find<QTabWidget>(dialog, "tabs")->setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }

  private slots:
    void initTestCase() {
        QVERIFY(QFile::copy(QStringLiteral(TESSALY_SIM_PLUGIN), pluginDir.filePath(kSim)));
        QFile broken(pluginDir.filePath(QStringLiteral("broken.so")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a shared library");
    }

    void init() { prompt = test::RecordingPrompt(); }
    void cleanup() {
        ProcessMessageTable().Free();
        QFile::remove(DriverFlag());
    }

    // 321 by 178 dialog units, or more where the desktop's fonts and spacing need more room.
    void theDialogOpensAtItsSizeInDialogUnits() {
        OptionsDialog dialog(StartSettings(), prompt, Empty());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), DialogUnits(dialog).Size(321, 178).expandedTo(dialog.minimumSizeHint()));
    }

    // The fill is shown as "0x" and two upper-case digits; an alignment of 3 selects no entry and is kept.
    void theGeneralPageShowsTheSettingsAndOkStoresThem() {
        AppSettings settings = StartSettings();
        settings.mruSize = 12;
        settings.memoryInit = 0x0A;
        settings.options = kOptionEnableItemTips | kOptionConfirmVerify | 2;
        OptionsDialog shown(settings, prompt, Empty());
        QCOMPARE(Edit(shown, "mruSize")->text(), QStringLiteral("12"));
        QCOMPARE(Edit(shown, "memoryInit")->text(), QStringLiteral("0x0A"));
        QVERIFY(!Find<QCheckBox>(shown, "listResize")->isChecked());
        QVERIFY(Find<QCheckBox>(shown, "enableTips")->isChecked());
        QVERIFY(!Find<QCheckBox>(shown, "confirmProgram")->isChecked());
        QCOMPARE(Find<QComboBox>(shown, "nameAlignment")->currentText(), QStringLiteral("Right"));

        OptionsDialog dialog(StartSettings(), prompt, Empty());
        Edit(dialog, "mruSize")->setText(QStringLiteral("0"));
        Edit(dialog, "memoryInit")->setText(QStringLiteral("0x3c"));
        Find<QCheckBox>(dialog, "listResize")->setChecked(false);
        Find<QCheckBox>(dialog, "confirmProgram")->setChecked(false);
        Find<QCheckBox>(dialog, "backupBeforeProgram")->setChecked(true);
        Find<QComboBox>(dialog, "nameAlignment")->setCurrentIndex(1);
        PressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        AppSettings expected = StartSettings();
        expected.mruSize = 0;
        expected.memoryInit = 0x3C;
        expected.options = kOptionEnableItemTips | kOptionEditOnError | kOptionConfirmVerify |
                           kOptionBackupBeforeProgram | 1;
        QVERIFY(dialog.Settings() == expected);

        settings.options |= 3;
        OptionsDialog three(settings, prompt, Empty());
        QCOMPARE(Find<QComboBox>(three, "nameAlignment")->currentIndex(), -1);
        three.accept();
        QCOMPARE(three.Settings().options & kOptionAlignNameMask, 3u);
        QVERIFY(prompt.messages.empty());
    }

    // A rejected text keeps the dialog open and names its field under "Invalid parameter"; an accepted one
    // stores the value read (-1: not checked).
    void aFieldIsChecked_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("stored");
        const auto row = [](const char* name, const char* edit, const char* text, int error, int stored) {
            QTest::newRow(name) << QString(edit) << QString(text) << error << stored;
        };
        const int fill = msg::kGroupMemoryInitialFill;
        row("fill without prefix", "memoryInit", "FF", fill, -1);
        row("fill no digit", "memoryInit", "0xg1", fill, -1);
        row("fill low 8 bits", "memoryInit", "0x1FF", -1, 255);
        row("fill trailing text", "memoryInit", "0x7fz", -1, 0x7F);
        row("fill beyond 32 bits", "memoryInit", "0x123456789", -1, 0xFF);
        row("mru 25", "mruSize", "25", msg::kLabelMruSize, -1);
        row("mru empty", "mruSize", "", msg::kLabelMruSize, -1);
        row("mru 24", "mruSize", "24", -1, 24);
        row("mru digit and letter", "mruSize", "7z", -1, 7);
        row("power-up 4", "delayPowerUp", "4", msg::kLabelPowerUpDelay, -1);
        row("power-up 5", "delayPowerUp", "5", -1, 5);
        row("program pulse empty", "pulsePGM", "", msg::kLabelProgramPulse, -1);
        row("fixate pulse letters", "pulseFix", "x", msg::kLabelFixatePulse, -1);
        row("fixate pulse 0", "pulseFix", "0", -1, 0);
    }
    void aFieldIsChecked() {
        QFETCH(QString, edit);
        QFETCH(QString, text);
        QFETCH(int, error);
        QFETCH(int, stored);
        OptionsDialog dialog(StartSettings(), prompt, Empty());
        dialog.show();
        Edit(dialog, edit.toLatin1().constData())->setText(text);
        PressOk(dialog);
        QCOMPARE(dialog.isVisible(), error >= 0);
        if (error >= 0) {
            QCOMPARE(prompt.messages,
                     (std::vector<test::RecordingPrompt::Box>{
                         {Text(msg::kInvalidParameter), Text(error), PromptIcon::Error, std::nullopt}}));
            return;
        }
        QVERIFY(prompt.messages.empty());
        const AppSettings& settings = dialog.Settings();
        const std::map<QString, int> values = {{"memoryInit", settings.memoryInit},
                                               {"mruSize", settings.mruSize},
                                               {"delayPowerUp", settings.delayPowerUp},
                                               {"pulsePGM", settings.pulsePGM},
                                               {"pulseFix", settings.pulseFix}};
        QVERIFY(stored < 0 || values.at(edit) == stored);
    }

    // The fields before the rejected one are stored already.
    void theFirstBadPageIsShownAndNamed() {
        OptionsDialog dialog(StartSettings(), prompt, Empty());
        dialog.show();
        auto* tabs = Find<QTabWidget>(dialog, "tabs");
        tabs->setCurrentIndex(1);
        Edit(dialog, "mruSize")->setText(QStringLiteral("30"));
        Edit(dialog, "delayPowerUp")->setText(QStringLiteral("1"));
        PressOk(dialog);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(prompt.messages.back().text, Text(msg::kLabelMruSize));
        Edit(dialog, "mruSize")->setText(QStringLiteral("3"));
        PressOk(dialog);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(prompt.messages.back().text, Text(msg::kLabelPowerUpDelay));
        QCOMPARE(dialog.Settings().mruSize, 3);
        QVERIFY(dialog.isVisible());
    }

    // Stored names are found whatever their case.
    void theSimulatorIsListedWithItsPortsAndDelayRange() {
        OptionsDialog dialog(StartSettings("TESSALY-SIM.SO", "24c16", 4), prompt, WithPlugins());
        QCOMPARE(Plugins(dialog)->count(), 2);
        QVERIFY(Plugins(dialog)->itemText(1).startsWith(QStringLiteral("tessaly-sim.so->")));
        QCOMPARE(Ports(dialog)->itemText(0), QStringLiteral("None"));
        QCOMPARE(Hardware(dialog), QStringLiteral("1 | 24C16 of many | 1-10 I/O delay factor (4)"));
        dialog.accept();
        QCOMPARE(dialog.Settings().pluginName.View(), std::string_view(kSim));
        QCOMPARE(dialog.Settings().portName.View(), std::string_view("24C16"));
        QVERIFY(prompt.questions.empty());
    }

    // The slider's value is taken once it is drawn: one outside the range becomes its minimum.
    void theFactorFollowsTheSlider_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("in range") << 2 << 2;
        QTest::newRow("0") << 0 << 1;
        QTest::newRow("negative") << -3 << 1;
        QTest::newRow("above") << 11 << 1;
    }
    void theFactorFollowsTheSlider() {
        QFETCH(int, stored);
        QFETCH(int, shown);
        OptionsDialog dialog(StartSettings(kSim, "24C02", stored), prompt, WithPlugins());
        QVERIFY(Hardware(dialog).endsWith(QStringLiteral("(%1)").arg(stored)));
        QCOMPARE(dialog.Settings().delayIO, stored);
        ShowHardwarePage(dialog);
        QTRY_COMPARE(dialog.Settings().delayIO, shown);
        Slider(dialog)->setValue(7);
        QTRY_COMPARE(dialog.Settings().delayIO, 7);
        QVERIFY(Hardware(dialog).endsWith(QStringLiteral("(7)")));
        PressOk(dialog);
        QCOMPARE(dialog.Settings().delayIO, 7);
    }

    // Without a plug-in that loads, only "None" is offered for the port and the slider is hidden; the
    // chosen, stored or vanished plug-in's name is kept (- when there is none to keep).
    void noPluginListsNoPorts_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("choose");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("kept");
        QTest::newRow("None chosen") << kSim << 0 << "0 | None of 1 | hidden"
                                     << "None";
        QTest::newRow("unknown name") << "gone.so" << -1 << "-1 | None of 1 | hidden"
                                      << "gone.so";
        QTest::newRow("vanished") << "None" << 2 << "2 | None of 1 | hidden"
                                  << "vanishing.so";
        QTest::newRow("no plug-ins") << kSim << -2 << "0 | None of 1 | hidden"
                                     << "-";
    }
    void noPluginListsNoPorts() {
        QFETCH(QString, stored);
        QFETCH(int, choose);
        QFETCH(QString, page);
        QFETCH(QString, kept);
        QTemporaryDir directory;
        QVERIFY(QFile::copy(QStringLiteral(TESSALY_SIM_PLUGIN), directory.filePath(kSim)));
        QVERIFY(QFile::copy(QStringLiteral(TESSALY_SIM_PLUGIN), directory.filePath("vanishing.so")));
        OptionsDialog dialog(StartSettings(qPrintable(stored), "24C02"), prompt,
                             choose == -2 ? Empty() : directory.path().toStdString() + '/');
        QVERIFY(QFile::remove(directory.filePath("vanishing.so")));
        if (choose >= 0) {
            Plugins(dialog)->setCurrentIndex(choose);
        }
        QCOMPARE(Hardware(dialog), page);
        dialog.accept();
        QVERIFY(kept == "-" || QString::fromLatin1(dialog.Settings().pluginName.View()) == kept);
        QCOMPARE(dialog.Settings().portName.View(), std::string_view("None"));
    }

    // Offered as soon as the plug-in is chosen or shown; No keeps the choice and lists its ports all the
    // same, Yes installs the driver, so that the next choice asks nothing.
    void aMissingDriverIsOffered() {
        test::WriteBytes(DriverFlag().toStdString(), "");
        OptionsDialog dialog(StartSettings(), prompt, WithPlugins());
        QVERIFY(prompt.questions.empty());
        Plugins(dialog)->setCurrentIndex(1);
        QCOMPARE(prompt.questions.size(), 1u);
        QCOMPARE(prompt.questions[0].caption, Text(msg::kDriverInstalling));
        QCOMPARE(prompt.questions[0].text, Text(msg::kAskInstallDriver));
        QCOMPARE(Hardware(dialog), QStringLiteral("1 | None of many | 1-10 I/O delay factor (1)"));
        QVERIFY(QFile::exists(DriverFlag()));

        test::RecordingPrompt yes(true);
        OptionsDialog installing(StartSettings(kSim), yes, WithPlugins());
        QCOMPARE(yes.questions.size(), 1u);
        QVERIFY(!QFile::exists(DriverFlag()));
        Plugins(installing)->setCurrentIndex(0);
        Plugins(installing)->setCurrentIndex(1);
        QCOMPARE(yes.questions.size(), 1u);
        QVERIFY(prompt.messages.empty() && yes.messages.empty());
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::OptionsDialogTest)
#include "OptionsDialogTest.moc"
