#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "RecordingPrompt.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DialogUnits.h"
#include "ui/OptionsDialog.h"

using tessaly::AppSettings;
using tessaly::OptionsDialog;
using tessaly::test::RecordingPrompt;
namespace msg = tessaly::msg;

namespace {

AppSettings StartSettings() {
    AppSettings settings;
    settings.pluginName.Set("None");
    settings.portName.Set("None");
    settings.delayIO = 1;
    settings.delayPowerUp = 200;
    settings.pulsePGM = 20;
    settings.pulseFix = 200;
    settings.language.Set("English");
    settings.fontSize = 10;
    settings.fontFace.Set("Courier New");
    settings.mruSize = 8;
    settings.memoryInit = 255;
    settings.options = tessaly::kOptionListResize | tessaly::kOptionEnableItemTips |
                       tessaly::kOptionEditOnError | tessaly::kOptionConfirmProgram |
                       tessaly::kOptionConfirmVerify;
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

void SetText(const QWidget& dialog, const char* edit, const QString& text) {
    Find<QLineEdit>(dialog, edit)->setText(text);
}

void PressOk(const QWidget& dialog) {
    Find<QDialogButtonBox>(dialog, "")->button(QDialogButtonBox::Ok)->click();
}

std::string Text(std::uint16_t message) {
    return tessaly::GetMessageText(message);
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        prompt_.messages.clear();
        prompt_.questions.clear();
    }
    void cleanup() { tessaly::ProcessMessageTable().Free(); }

    void captionsAndLabelsComeFromTheMessageTable() {
        tessaly::ProcessMessageTable().Create();
        tessaly::ProcessMessageTable().Store(msg::kOptionsCaption, "Einstellungen");
        tessaly::ProcessMessageTable().Store(msg::kPageHardware, "Hardware-Seite");
        tessaly::ProcessMessageTable().Store(msg::kLabelMruSize, "Liste");
        tessaly::ProcessMessageTable().Store(msg::kButtonLoadDefaults, "Vorgaben");
        OptionsDialog dialog(StartSettings(), prompt_, Directory());

        QCOMPARE(dialog.windowTitle(), QStringLiteral("Einstellungen"));
        auto* tabs = Find<QTabWidget>(dialog, "tabs");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("General"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Hardware-Seite"));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(HasLabel(dialog, QStringLiteral("Liste")));
        QCOMPARE(Find<QPushButton>(dialog, "loadDefaults")->text(), QStringLiteral("Vorgaben"));
    }

    // 321 by 178 dialog units, or more where the desktop's fonts and spacing need more room.
    void theDialogOpensAtItsSizeInDialogUnits() {
        OptionsDialog dialog(StartSettings(), prompt_, Directory());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(),
                 tessaly::DialogUnits(dialog).Size(321, 178).expandedTo(dialog.minimumSizeHint()));
    }

    void theGeneralPageShowsTheSettings() {
        AppSettings settings = StartSettings();
        settings.mruSize = 12;
        settings.memoryInit = 0x0A;
        settings.options = tessaly::kOptionEnableItemTips | tessaly::kOptionConfirmVerify | 2;
        OptionsDialog dialog(settings, prompt_, Directory());

        QCOMPARE(Find<QLineEdit>(dialog, "mruSize")->text(), QStringLiteral("12"));
        QCOMPARE(Find<QLineEdit>(dialog, "mruSize")->maxLength(), 2);
        for (const char* edit : {"delayPowerUp", "pulsePGM", "pulseFix"}) {
            QCOMPARE(Find<QLineEdit>(dialog, edit)->maxLength(), 3);
        }
        QCOMPARE(Find<QLineEdit>(dialog, "memoryInit")->text(), QStringLiteral("0x0A"));
        QVERIFY(!Find<QCheckBox>(dialog, "listResize")->isChecked());
        QVERIFY(Find<QCheckBox>(dialog, "enableTips")->isChecked());
        QVERIFY(!Find<QCheckBox>(dialog, "editOnError")->isChecked());
        QVERIFY(!Find<QCheckBox>(dialog, "confirmProgram")->isChecked());
        QVERIFY(Find<QCheckBox>(dialog, "confirmVerify")->isChecked());
        auto* alignment = Find<QComboBox>(dialog, "nameAlignment");
        QCOMPARE(alignment->count(), 3);
        QCOMPARE(alignment->currentText(), QStringLiteral("Right"));
        OptionsDialog full(StartSettings(), prompt_, Directory());
        QCOMPARE(Find<QLineEdit>(full, "memoryInit")->text(), QStringLiteral("0xFF"));
    }

    void okStoresTheGeneralValues() {
        OptionsDialog dialog(StartSettings(), prompt_, Directory());
        dialog.show();
        SetText(dialog, "mruSize", QStringLiteral("0"));
        SetText(dialog, "memoryInit", QStringLiteral("0x3c"));
        Find<QCheckBox>(dialog, "listResize")->setChecked(false);
        Find<QCheckBox>(dialog, "confirmProgram")->setChecked(false);
        Find<QComboBox>(dialog, "nameAlignment")->setCurrentIndex(1);
        PressOk(dialog);

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(prompt_.messages.empty());
        AppSettings expected = StartSettings();
        expected.mruSize = 0;
        expected.memoryInit = 0x3C;
        expected.options =
            tessaly::kOptionEnableItemTips | tessaly::kOptionEditOnError | tessaly::kOptionConfirmVerify | 1;
        QVERIFY(dialog.Settings() == expected);
    }

    void anAlignmentOfThreeIsKept() {
        AppSettings settings = StartSettings();
        settings.options |= 3;
        OptionsDialog dialog(settings, prompt_, Directory());
        QCOMPARE(Find<QComboBox>(dialog, "nameAlignment")->currentIndex(), -1);
        dialog.accept();
        QCOMPARE(dialog.Settings().options & tessaly::kOptionAlignNameMask, 3u);
    }

    // A rejected text keeps the dialog open and names its field; an accepted one stores the value read
    // (-1: not checked).
    void aFieldIsChecked_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("stored");
        const int fill = msg::kGroupMemoryInitialFill;
        QTest::newRow("fill without prefix") << "memoryInit"
                                             << "FF" << fill << -1;
        QTest::newRow("fill capital X") << "memoryInit"
                                        << "0XFF" << fill << -1;
        QTest::newRow("fill leading blank") << "memoryInit"
                                            << " 0xFF" << fill << -1;
        QTest::newRow("fill prefix only") << "memoryInit"
                                          << "0x" << fill << -1;
        QTest::newRow("fill no digit") << "memoryInit"
                                       << "0xg1" << fill << -1;
        QTest::newRow("fill low 8 bits") << "memoryInit"
                                         << "0x1FF" << -1 << 255;
        QTest::newRow("fill lower case") << "memoryInit"
                                         << "0xa5" << -1 << 0xA5;
        QTest::newRow("fill trailing text") << "memoryInit"
                                            << "0x7fz" << -1 << 0x7F;
        QTest::newRow("fill beyond 32 bits") << "memoryInit"
                                             << "0x123456789" << -1 << 0xFF;
        const int mru = msg::kLabelMruSize;
        QTest::newRow("mru 25") << "mruSize"
                                << "25" << mru << -1;
        QTest::newRow("mru negative") << "mruSize"
                                      << "-1" << mru << -1;
        QTest::newRow("mru empty") << "mruSize"
                                   << "" << mru << -1;
        QTest::newRow("mru 24") << "mruSize"
                                << "24" << -1 << 24;
        QTest::newRow("mru digit and letter") << "mruSize"
                                              << "7z" << -1 << 7;
        QTest::newRow("power-up 4") << "delayPowerUp"
                                    << "4" << int(msg::kLabelPowerUpDelay) << -1;
        QTest::newRow("power-up 5") << "delayPowerUp"
                                    << "5" << -1 << 5;
        QTest::newRow("program pulse negative") << "pulsePGM"
                                                << "-5" << -1 << -1;
        QTest::newRow("program pulse empty") << "pulsePGM"
                                             << "" << int(msg::kLabelProgramPulse) << -1;
        QTest::newRow("fixate pulse letters") << "pulseFix"
                                              << "x" << int(msg::kLabelFixatePulse) << -1;
        QTest::newRow("fixate pulse 0") << "pulseFix"
                                        << "0" << -1 << 0;
    }
    void aFieldIsChecked() {
        QFETCH(QString, edit);
        QFETCH(QString, text);
        QFETCH(int, error);
        QFETCH(int, stored);
        OptionsDialog dialog(StartSettings(), prompt_, Directory());
        dialog.show();
        SetText(dialog, edit.toLatin1().constData(), text);
        PressOk(dialog);
        QCOMPARE(dialog.isVisible(), error >= 0);
        if (error >= 0) {
            QCOMPARE(Errors(), std::vector<std::string>{Text(static_cast<std::uint16_t>(error))});
            return;
        }
        QVERIFY(prompt_.messages.empty());
        const AppSettings& settings = dialog.Settings();
        const std::map<QString, int> values = {{"memoryInit", settings.memoryInit},
                                               {"mruSize", settings.mruSize},
                                               {"delayPowerUp", settings.delayPowerUp},
                                               {"pulsePGM", settings.pulsePGM},
                                               {"pulseFix", settings.pulseFix}};
        if (stored >= 0) {
            QCOMPARE(values.at(edit), stored);
        }
    }

    void theFirstBadPageIsShownAndNamed() {
        OptionsDialog dialog(StartSettings(), prompt_, Directory());
        dialog.show();
        auto* tabs = Find<QTabWidget>(dialog, "tabs");
        tabs->setCurrentIndex(1);
        SetText(dialog, "mruSize", QStringLiteral("30"));
        SetText(dialog, "pulseFix", QString());
        SetText(dialog, "delayPowerUp", QStringLiteral("1"));

        PressOk(dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(prompt_.messages.size(), 1u);
        QCOMPARE(prompt_.messages[0].caption, Text(msg::kInvalidParameter));
        QCOMPARE(prompt_.messages[0].text, Text(msg::kLabelMruSize));
        QCOMPARE(prompt_.messages[0].icon, tessaly::PromptIcon::Error);

        SetText(dialog, "mruSize", QStringLiteral("3"));
        PressOk(dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(prompt_.messages.back().text, Text(msg::kLabelPowerUpDelay));

        SetText(dialog, "delayPowerUp", QStringLiteral("300"));
        PressOk(dialog);
        QCOMPARE(prompt_.messages.back().text, Text(msg::kLabelFixatePulse));
        // The fields before the rejected one are stored already.
        QCOMPARE(dialog.Settings().mruSize, 3);
        QCOMPARE(dialog.Settings().delayPowerUp, 300);

        SetText(dialog, "pulseFix", QStringLiteral("150"));
        PressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(prompt_.messages.size(), 3u);
        QCOMPARE(dialog.Settings().pulseFix, 150);
    }

    void cancelLeavesTheCallersSettingsAlone() {
        const AppSettings original = StartSettings();
        AppSettings settings = original;
        OptionsDialog dialog(settings, prompt_, Directory());
        dialog.show();
        SetText(dialog, "mruSize", QStringLiteral("4"));
        SetText(dialog, "delayPowerUp", QStringLiteral("0"));
        PressOk(dialog);
        QCOMPARE(dialog.Settings().mruSize, 4);
        Find<QDialogButtonBox>(dialog, "")->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QVERIFY(settings == original);
    }

    void loadDefaultValuesFillsTheDelaysOnly() {
        AppSettings settings = StartSettings();
        settings.delayPowerUp = 50;
        settings.pulsePGM = 7;
        settings.pulseFix = 9;
        OptionsDialog dialog(settings, prompt_, Directory());
        SetText(dialog, "mruSize", QStringLiteral("5"));
        Find<QPushButton>(dialog, "loadDefaults")->click();

        QCOMPARE(Find<QLineEdit>(dialog, "delayPowerUp")->text(), QStringLiteral("200"));
        QCOMPARE(Find<QLineEdit>(dialog, "pulsePGM")->text(), QStringLiteral("20"));
        QCOMPARE(Find<QLineEdit>(dialog, "pulseFix")->text(), QStringLiteral("200"));
        QCOMPARE(Find<QLineEdit>(dialog, "mruSize")->text(), QStringLiteral("5"));
        QCOMPARE(Find<QComboBox>(dialog, "plugin")->currentIndex(), 0);
        QVERIFY(dialog.Settings() == settings);

        dialog.accept();
        QCOMPARE(dialog.Settings().delayPowerUp, 200);
        QCOMPARE(dialog.Settings().pulsePGM, 20);
        QCOMPARE(dialog.Settings().pulseFix, 200);
    }

  private:
    std::string Directory() const { return emptyDir_.path().toStdString() + '/'; }

    // The texts of the boxes shown, each under the caption "Invalid parameter" with the error icon.
    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const RecordingPrompt::Box& box : prompt_.messages) {
            const bool invalidParameter =
                box.caption == Text(msg::kInvalidParameter) && box.icon == tessaly::PromptIcon::Error;
            texts.push_back(invalidParameter ? box.text : "another box: " + box.caption);
        }
        return texts;
    }

    static bool HasLabel(const QWidget& dialog, const QString& text) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->text() == text) {
                return true;
            }
        }
        return false;
    }

    QTemporaryDir emptyDir_;
    RecordingPrompt prompt_;
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
