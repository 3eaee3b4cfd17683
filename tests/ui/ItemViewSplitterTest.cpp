// The dynamic splitter of item views, with plain widgets for views.

#include <QLabel>
#include <QPointer>
#include <QTest>

#include "ui/ItemViewSplitter.h"

namespace tessaly {
namespace {

class ItemViewSplitterTest : public QObject {
    Q_OBJECT

    int made = 0;

    std::unique_ptr<ItemViewSplitter> NewSplitter() {
        auto splitter = std::make_unique<ItemViewSplitter>([this] {
            auto* view = new QLabel(QString::number(++made));
            view->setFocusPolicy(Qt::StrongFocus);
            return view;
        });
        splitter->resize(400, 300);
        splitter->show();
        return splitter;
    }

    static void Drag(QSplitterHandle* handle, const QPoint& by) {
        const QPoint start = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        QTest::mouseMove(handle, start + by);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, start + by);
    }

    static QSplitter* Row(ItemViewSplitter& splitter, int row) {
        return qobject_cast<QSplitter*>(splitter.widget(row));
    }

  private slots:
    void init() { made = 0; }

    // The split closes the views it no longer needs and takes at most two rows and two columns.
    void splittingMakesAViewPerPaneAndClosingDestroysThem() {
        auto splitter = NewSplitter();
        QCOMPARE(splitter->Panes().size(), 1u);
        QCOMPARE(splitter->ActivePane(), splitter->Panes().front());
        splitter->Split(2, 2);
        QCOMPARE(splitter->Panes().size(), 4u);
        QCOMPARE(made, 4);
        QVERIFY(splitter->Panes().back()->minimumWidth() >= ItemViewSplitter::kMinimumPane);
        // Previous Pane goes round from the first pane to the last.
        for (const std::size_t previous : {3u, 2u}) {
            splitter->ActivatePreviousPane();
            QCOMPARE(splitter->ActivePane(), splitter->Panes()[previous]);
        }
        QPointer<QWidget> lastRow = splitter->Panes().back();
        splitter->Split(1, 2);
        QCOMPARE(splitter->Panes().size(), 2u);
        QTRY_VERIFY(lastRow.isNull());
        splitter->Split(5, 0);
        QCOMPARE(splitter->RowCount(), 2);
        QCOMPARE(splitter->ColumnCount(), 1);
    }

    // Dragging the bar at the bottom edge opens a second row; dragging a pane below its minimum closes
    // its column.
    void draggingOpensASecondRowOrClosesAColumn() {
        auto splitter = NewSplitter();
        QVERIFY(QTest::qWaitForWindowExposed(splitter.get()));
        Drag(splitter->handle(1), QPoint(0, -120));
        QTRY_COMPARE(splitter->RowCount(), 2);
        QCOMPARE(splitter->Panes().size(), 2u);
        QCOMPARE(made, 2);
        QVERIFY(splitter->Panes().back()->isVisible());
        splitter->Split(1, 2);
        Drag(Row(*splitter, 0)->handle(1), QPoint(splitter->width(), 0));
        QTRY_COMPARE(splitter->ColumnCount(), 1);
        QCOMPARE(splitter->Panes().size(), 1u);
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::ItemViewSplitterTest)
#include "ItemViewSplitterTest.moc"
