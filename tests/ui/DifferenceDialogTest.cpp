#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "ui/DifferenceDialog.h"

namespace tessaly {
namespace {

class DifferenceDialogTest : public QObject {
    Q_OBJECT

  private slots:
    // The text heads a row per difference; Copy puts the rows on the clipboard, tab-separated.
    void listsEveryDifferenceAndCopiesThem() {
        DifferenceDialog dialog("Wrong value (0x2 <> 0x3)",
                                {{0, "Speed", "2", "3"}, {kNoItem, "@0010", "FF", "00"}});
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("message"))->text(),
                 QStringLiteral("Wrong value (0x2 <> 0x3)"));
        QCOMPARE(dialog.Table().rowCount(), 2);
        QCOMPARE(dialog.Table().horizontalHeaderItem(1)->text(), QStringLiteral("Chip"));
        QCOMPARE(dialog.Table().item(1, 0)->text(), QStringLiteral("@0010"));
        QApplication::clipboard()->clear();
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("copy")), Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Speed\t2\t3\n@0010\tFF\t00\n"));
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::DifferenceDialogTest)
#include "DifferenceDialogTest.moc"
