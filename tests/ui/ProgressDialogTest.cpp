#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <limits>

#include "ui/ProgressDialog.h"

using tessaly::ProgressDialog;

class ProgressDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void positionsFollowTheParserAndASecondLoadStartsAgainFromZero() {
        ProgressDialog dialog;
        dialog.Begin("/home/user/first.dev", 100);
        QVERIFY(dialog.isVisible());
        QCOMPARE(Bar(dialog)->minimum(), 0);
        for (const std::uint32_t position : {10u, 55u, 100u}) {
            dialog.SetPosition(position);
            QCOMPARE(Bar(dialog)->value(), static_cast<int>(position));
        }
        dialog.End();
        QVERIFY(!dialog.isVisible());

        dialog.Begin("second.dev", 50);
        QVERIFY(dialog.isVisible());
        QCOMPARE(Path(dialog), QStringLiteral("second.dev"));
        QCOMPARE(Bar(dialog)->maximum(), 50);
        QCOMPARE(Bar(dialog)->value(), 0);
    }

    void aPathInWindows1252IsShownReadably() {
        ProgressDialog dialog;
        dialog.Begin(
            "/tmp/Gr\xF6\xDF"
            "e.dev",
            1);
        QCOMPARE(Path(dialog), QString::fromUtf8("/tmp/Gr\xC3\xB6\xC3\x9F"
                                                 "e.dev"));
    }

    void aRangeBeyondTheBarsCountIsCut() {
        ProgressDialog dialog;
        dialog.Begin("huge.dev", std::numeric_limits<std::uint32_t>::max());
        QCOMPARE(Bar(dialog)->maximum(), std::numeric_limits<int>::max());
        dialog.SetPosition(std::numeric_limits<std::uint32_t>::max());
        QCOMPARE(Bar(dialog)->value(), std::numeric_limits<int>::max());
    }

    void escapeDoesNotCancel() {
        ProgressDialog dialog;
        dialog.Begin("a.dev", 10);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
    }

  private:
    static QString Path(const ProgressDialog& dialog) {
        return dialog.findChild<QLabel*>(QStringLiteral("path"))->text();
    }
    static QProgressBar* Bar(const ProgressDialog& dialog) {
        return dialog.findChild<QProgressBar*>(QStringLiteral("progress"));
    }
};

QTEST_MAIN(ProgressDialogTest)
#include "ProgressDialogTest.moc"
