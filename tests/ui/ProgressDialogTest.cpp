// The dialog that shows a template's load: its path over a progress bar.

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <limits>

#include "ui/ProgressDialog.h"

using tessaly::ProgressDialog;

class ProgressDialogTest : public QObject {
    Q_OBJECT

  private slots:
    // A second load starts again from zero; Escape does not cancel.
    void positionsFollowTheParser() {
        ProgressDialog dialog;
        dialog.Begin("/home/user/first.dev", 100);
        QVERIFY(dialog.isVisible());
        for (const std::uint32_t position : {10u, 55u, 100u}) {
            dialog.SetPosition(position);
            QCOMPARE(Bar(dialog)->value(), static_cast<int>(position));
        }
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        dialog.End();
        QVERIFY(!dialog.isVisible());
        dialog.Begin("second.dev", 50);
        QVERIFY(dialog.isVisible());
        QCOMPARE(Path(dialog), QStringLiteral("second.dev"));
        QCOMPARE(Bar(dialog)->maximum(), 50);
        QCOMPARE(Bar(dialog)->value(), 0);
    }

    // A path in Windows-1252 is shown readably; a range beyond the bar's count is cut.
    void anyPathAndRangeCanBeShown() {
        ProgressDialog dialog;
        dialog.Begin(
            "/tmp/Gr\xF6\xDF"
            "e.dev",
            std::numeric_limits<std::uint32_t>::max());
        QCOMPARE(Path(dialog), QString::fromUtf8("/tmp/Gr\xC3\xB6\xC3\x9F"
                                                 "e.dev"));
        QCOMPARE(Bar(dialog)->maximum(), std::numeric_limits<int>::max());
        dialog.SetPosition(std::numeric_limits<std::uint32_t>::max());
        QCOMPARE(Bar(dialog)->value(), std::numeric_limits<int>::max());
    }

  private:
    static QString Path(const ProgressDialog& dialog) { return dialog.findChild<QLabel*>("path")->text(); }
    static QProgressBar* Bar(const ProgressDialog& dialog) {
        return dialog.findChild<QProgressBar*>("progress");
    }
};

QTEST_MAIN(ProgressDialogTest)
#include "ProgressDialogTest.moc"
