// The item list on its own, driven with key and mouse events against an owner that records every
// question and answers as each test sets it up.

#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <vector>

#include "ui/BalloonTip.h"
#include "ui/ItemList.h"

namespace tessaly {
namespace {

class RecordingOwner : public ItemListOwner {
  public:
    bool EnableChanging(std::uint32_t item, bool enabled) override {
        enableRequests.push_back({item, enabled});
        return allowEnable;
    }
    std::optional<EditOffer> EditRequested(std::uint32_t item) override {
        editRequests.push_back(item);
        const auto offer = offers.find(item);
        return offer != offers.end() ? std::optional<EditOffer>(offer->second) : std::nullopt;
    }
    ValueCheck ValidateValue(std::uint32_t item, const EditedValue& value) override {
        return judge(item, value);
    }
    std::optional<QString> CommitValue(std::uint32_t item, const EditedValue& value) override {
        commits.push_back({item, value});
        return storeCommits ? std::optional<QString>(value.text) : std::nullopt;
    }
    void ImportRequested() override { ++imports; }
    void ExportRequested() override { ++exports; }

    std::map<std::uint32_t, EditOffer> offers;
    std::function<ValueCheck(std::uint32_t, const EditedValue&)> judge =
        [](std::uint32_t, const EditedValue&) { return ValueCheck::Valid; };
    bool allowEnable = true;
    bool storeCommits = true;
    std::vector<std::pair<std::uint32_t, bool>> enableRequests;
    std::vector<std::uint32_t> editRequests;
    std::vector<std::pair<std::uint32_t, EditedValue>> commits;
    int imports = 0;
    int exports = 0;
};

ListRow Item(std::uint32_t item, const QString& name, const QString& value, bool enabled = true) {
    return {item, QString::number(item + 1), name, value, enabled};
}

ListRow Title(const QString& name = {}) {
    return {kNoItem, {}, name, {}, false};
}

// Rows: 0 item 0, 1 item 1, 2 blank title, 3 "Network" title, 4 item 2, 5 item 3, 6 trailing title.
std::vector<ListRow> SampleRows() {
    return {Item(0, "Serial", "1234"), Item(1, "Mode", "Fast"),  Title(),     Title("Network"),
            Item(2, "Port", "80"),     Item(3, "Name", "board"), Title("End")};
}

EditOffer OneText() {
    return {{}, {QStringLiteral("x")}};
}

}  // namespace

class ItemListTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<RecordingOwner> owner;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ItemList> list;

    void Show(const std::vector<ListRow>& rows) {
        list->SetRows(rows);
        list->AutoSizeColumns();
        list->resize(500, 300);
        list->show();
        QApplication::setActiveWindow(list.get());
        QVERIFY(QTest::qWaitForWindowActive(list.get()));
    }

    // Shows the sample rows with an edit box open on the first.
    void EditFirstItem() {
        Show(SampleRows());
        list->StartEdit(0, kNoInput);
    }

    QLineEdit* EditBox() const { return qobject_cast<QLineEdit*>(list->Editor()); }
    QComboBox* DropDown() const { return qobject_cast<QComboBox*>(list->Editor()); }

    QPoint CellCentre(int row, int column) const {
        return list->visualRect(list->model()->index(row, column)).center();
    }

    // Opens the context menu with the right button on row (or below the rows for -1) and gives its entries,
    // separators as empty texts; the menu stays open for the test to use.
    QMenu* RightClick(int row) {
        const QPoint at = row >= 0 ? CellCentre(row, ItemList::kNameColumn) : QPoint(50, 250);
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, at);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    static QStringList Entries(const QMenu* menu) {
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            texts.append(action->isSeparator() ? QString() : action->text());
        }
        return texts;
    }

    static QAction* Entry(const QMenu* menu, const QString& text) {
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }

  private slots:
    void init() {
        owner = std::make_unique<RecordingOwner>();
        settings = std::make_unique<AppSettings>();
        settings->options = kOptionListResize;
        list = std::make_unique<ItemList>(*owner, *settings);
        for (std::uint32_t item = 0; item < 4; ++item) {
            owner->offers[item] = OneText();
        }
    }

    void cleanup() {
        if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr) {
            popup->close();
        }
        list.reset();
    }

    void titleRowsHaveNoCheckBoxAndTakeNoSelection() {
        Show(SampleRows());
        QCOMPARE(list->RowItem(3), kNoItem);
        QVERIFY(!list->topLevelItem(3)->data(ItemList::kCheckColumn, Qt::CheckStateRole).isValid());
        QCOMPARE(list->topLevelItem(0)->checkState(ItemList::kCheckColumn), Qt::Checked);
        QVERIFY(list->SelectRow(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(3, ItemList::kNameColumn));
        QCOMPARE(list->SelectedRow(), 1);
        QVERIFY(!list->SelectRow(2));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(3, ItemList::kValueColumn));
        QVERIFY(owner->editRequests.empty());
    }

    void keyboardPassesOverTitleRows() {
        Show({Title("Head"), Item(0, "a", "1"), Title(), Item(1, "b", "2")});
        QVERIFY(list->SelectRow(1));
        QTest::keyClick(list.get(), Qt::Key_Down);
        QCOMPARE(list->SelectedRow(), 3);
        QTest::keyClick(list.get(), Qt::Key_Up);
        QCOMPARE(list->SelectedRow(), 1);
        QTest::keyClick(list.get(), Qt::Key_Up);
        QCOMPARE(list->SelectedRow(), 1);
    }

    // Home and End go to the first and the last row, and only when that row is an item row.
    void homeAndEndMoveOntoItemRowsOnly_data() {
        QTest::addColumn<std::vector<ListRow>>("rows");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        const std::vector<ListRow> titleFirst = {Title("Head"), Item(0, "a", "1"), Item(1, "b", "2")};
        QTest::newRow("home onto an item") << SampleRows() << 5 << int(Qt::Key_Home) << 0;
        QTest::newRow("end onto a title") << SampleRows() << 1 << int(Qt::Key_End) << 1;
        QTest::newRow("home onto a title") << titleFirst << 2 << int(Qt::Key_Home) << 2;
        QTest::newRow("end onto an item") << titleFirst << 1 << int(Qt::Key_End) << 2;
    }
    void homeAndEndMoveOntoItemRowsOnly() {
        QFETCH(std::vector<ListRow>, rows);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        Show(rows);
        QVERIFY(list->SelectRow(from));
        QTest::keyClick(list.get(), static_cast<Qt::Key>(key));
        QCOMPARE(list->SelectedRow(), to);
    }

    // A character typed on an item row starts its edit: an edit box takes the character in place of the
    // value, a drop-down goes to the first entry that begins with it, whatever the letter case.
    void aTypedCharacterStartsTheEdit_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<char>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("edit box") << QStringList{"x"} << '7' << QStringLiteral("7");
        QTest::newRow("drop-down") << QStringList{"Stop", "Fast", "Slow"} << 's' << QStringLiteral("Stop");
        QTest::newRow("no such entry") << QStringList{"Fast", "Slow"} << 'q' << QStringLiteral("Fast");
    }
    void aTypedCharacterStartsTheEdit() {
        QFETCH(QStringList, texts);
        QFETCH(char, typed);
        QFETCH(QString, shown);
        owner->offers[1] = {{}, texts};
        Show(SampleRows());
        QVERIFY(list->SelectRow(1));
        QTest::keyClick(list.get(), typed);
        QCOMPARE(list->EditingRow(), 1);
        const QString text = EditBox() != nullptr ? EditBox()->text() : DropDown()->currentText();
        QCOMPARE(text, shown);
    }

    void enterOpensAnEditBoxForOneTextWithTheCellTextSelected() {
        Show(SampleRows());
        QVERIFY(list->SelectRow(1));
        QTest::keyClick(list.get(), Qt::Key_Return);
        QLineEdit* edit = EditBox();
        QVERIFY(edit != nullptr);
        QCOMPARE(list->EditingRow(), 1);
        QCOMPARE(edit->text(), QStringLiteral("Fast"));
        QCOMPARE(edit->selectedText(), QStringLiteral("Fast"));
        const QRect cell = list->visualRect(list->model()->index(1, ItemList::kValueColumn));
        QVERIFY(edit->geometry().left() > cell.left());
        QVERIFY(edit->geometry().intersects(cell));
    }

    void twoTextsOpenADropDownOnTheShownEntryAndReportTheChoiceByPosition() {
        owner->offers[1] = {{}, {"Slow", "Fast", "Off"}};
        Show(SampleRows());
        list->StartEdit(1, kNoInput);
        QComboBox* combo = DropDown();
        QVERIFY(combo != nullptr);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->currentIndex(), 1);
        combo->setCurrentIndex(2);
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(owner->commits.size(), 1u);
        QCOMPARE(owner->commits[0].second.choice, 2);
        QCOMPARE(owner->commits[0].second.text, QStringLiteral("Off"));
        QCOMPARE(list->topLevelItem(1)->text(ItemList::kValueColumn), QStringLiteral("Off"));
        QVERIFY(list->Editor() == nullptr);
    }

    void dropDownWithoutTheShownTextShowsItUnchosen() {
        owner->offers[1] = {{}, {"Slow", "Off"}};
        owner->judge = [](std::uint32_t, const EditedValue& value) {
            return value.choice >= 0 ? ValueCheck::Valid : ValueCheck::WrongOrAboveMaximum;
        };
        Show(SampleRows());
        list->StartEdit(1, kNoInput);
        QComboBox* combo = DropDown();
        QVERIFY(combo != nullptr);
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(combo->placeholderText(), QStringLiteral("Fast"));
        QTest::keyClick(combo, Qt::Key_Return);
        QVERIFY(owner->commits.empty());
        QCOMPARE(list->topLevelItem(1)->text(ItemList::kValueColumn), QStringLiteral("Fast"));
    }

    void dropDownKeysEndTheEditInsteadOfMovingTheChoice() {
        owner->offers[0] = {{}, {"A", "B", "C"}};
        owner->offers[1] = {{}, {"Slow", "Fast", "Off"}};
        Show({Item(0, "x", "B"), Item(1, "y", "Fast")});
        list->StartEdit(0, kNoInput);
        QTest::keyClick(DropDown(), Qt::Key_Down);
        QCOMPARE(owner->commits.size(), 1u);
        QCOMPARE(owner->commits[0].second.choice, 1);
        QCOMPARE(list->EditingRow(), 1);
        QCOMPARE(DropDown()->currentIndex(), 1);
    }

    void noOfferOrNoTextsOpenNothing() {
        owner->offers.erase(0);
        owner->offers[1] = EditOffer{};
        EditFirstItem();
        QVERIFY(list->Editor() == nullptr);
        list->StartEdit(1, kNoInput);
        QVERIFY(list->Editor() == nullptr);
        QCOMPARE(list->EditingRow(), -1);
        QCOMPARE(owner->editRequests, (std::vector<std::uint32_t>{0, 1}));
        list->StartEdit(3, kNoInput);
        QCOMPARE(owner->editRequests.size(), 2u);
    }

    void aRefusedKeyIsUndoneWithItsCaret() {
        owner->judge = [](std::uint32_t, const EditedValue& value) {
            for (const QChar c : value.text) {
                if (!c.isDigit()) {
                    return ValueCheck::CannotJudge;
                }
            }
            return ValueCheck::Valid;
        };
        EditFirstItem();
        QLineEdit* edit = EditBox();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClicks(edit, "5");
        QCOMPARE(edit->text(), QStringLiteral("12354"));
        QCOMPARE(edit->cursorPosition(), 4);
        QTest::keyClicks(edit, "x");
        QCOMPARE(edit->text(), QStringLiteral("12354"));
        QCOMPARE(edit->cursorPosition(), 4);
        QTest::keyClicks(edit, "6");
        QCOMPARE(edit->text(), QStringLiteral("123564"));
    }

    void anEmptyBoxIsNotCheckedWhileTyping() {
        int checks = 0;
        owner->judge = [&checks](std::uint32_t, const EditedValue&) {
            ++checks;
            return ValueCheck::CannotJudge;
        };
        EditFirstItem();
        QTest::keyClick(EditBox(), Qt::Key_Delete);
        QCOMPARE(EditBox()->text(), QString());
        QCOMPARE(checks, 0);
    }

    void backspaceAsStartKeyDeletesTheLastCharacter() {
        Show(SampleRows());
        list->StartEdit(0, Qt::Key_Backspace);
        QCOMPARE(EditBox()->text(), QStringLiteral("123"));
        QCOMPARE(EditBox()->cursorPosition(), 3);
    }

    void typingWidensTheBox() {
        Show(SampleRows());
        list->setColumnWidth(ItemList::kNameColumn, 300);
        list->StartEdit(0, kNoInput);
        QLineEdit* edit = EditBox();
        const int before = edit->width();
        QTest::keyClicks(edit, QString(40, QLatin1Char('7')));
        QVERIFY(edit->width() > before);
        QVERIFY(edit->geometry().left() >= 0);
        QVERIFY(edit->geometry().right() < list->viewport()->width());
        QCOMPARE(edit->geometry().right(),
                 list->visualRect(list->model()->index(0, ItemList::kValueColumn)).right());
    }

    void escapeStoresTheInitialTextOrEntryAgain() {
        owner->offers[1] = {{}, {"Slow", "Fast", "Off"}};
        EditFirstItem();
        QTest::keyClicks(EditBox(), "99");
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        QCOMPARE(owner->commits.size(), 1u);
        QCOMPARE(owner->commits[0].second.text, QStringLiteral("1234"));
        QVERIFY(list->Editor() == nullptr);
        list->StartEdit(1, kNoInput);
        DropDown()->setCurrentIndex(0);
        QTest::keyClick(DropDown(), Qt::Key_Escape);
        QCOMPARE(owner->commits.back().second.choice, 1);
    }

    void aTextThatFailsAtTheEndIsDropped() {
        owner->judge = [](std::uint32_t, const EditedValue& value) {
            return value.text.size() < 3 ? ValueCheck::BelowMinimum : ValueCheck::Valid;
        };
        EditFirstItem();
        QTest::keyClicks(EditBox(), "12");
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(owner->commits.size(), 1u);
        owner->storeCommits = false;
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "777");
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(list->topLevelItem(0)->text(ItemList::kValueColumn), QStringLiteral("12"));
    }

    void tabFromAboveTitleRowsEditsTheNextItemRow() {
        Show(SampleRows());
        QVERIFY(list->SelectRow(1));
        list->StartEdit(1, kNoInput);
        QTest::keyClick(EditBox(), Qt::Key_Tab);
        QCOMPARE(list->EditingRow(), 4);
        QCOMPARE(list->SelectedRow(), 4);
        QCOMPARE(EditBox()->text(), QStringLiteral("80"));
        QCOMPARE(EditBox()->selectedText(), QStringLiteral("80"));
        QTest::keyClick(EditBox(), Qt::Key_Backtab);
        QCOMPARE(list->EditingRow(), 1);
        QTest::keyClick(EditBox(), Qt::Key_PageDown);
        QCOMPARE(list->EditingRow(), 4);
        QTest::keyClick(EditBox(), Qt::Key_PageUp);
        QCOMPARE(list->EditingRow(), 1);
    }

    void downInTheLastItemRowEndsTheEdit() {
        Show(SampleRows());
        QVERIFY(list->SelectRow(5));
        list->StartEdit(5, kNoInput);
        QTest::keyClick(EditBox(), Qt::Key_Down);
        QVERIFY(list->Editor() == nullptr);
        QCOMPARE(list->EditingRow(), -1);
        QCOMPARE(owner->commits.size(), 1u);
        QCOMPARE(owner->editRequests.size(), 1u);
        QCOMPARE(list->SelectedRow(), 5);
        QVERIFY(list->hasFocus());
    }

    void doubleClickEditsWithTheWholeTextSelected() {
        Show(SampleRows());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(4, ItemList::kNameColumn));
        QCOMPARE(list->EditingRow(), 4);
        QCOMPARE(EditBox()->selectedText(), QStringLiteral("80"));
    }

    void clickingElsewhereOrClosingTheEditorStoresTheEdit() {
        EditFirstItem();
        QTest::keyClicks(EditBox(), "42");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(5, ItemList::kNameColumn));
        QCOMPARE(owner->commits.size(), 1u);
        QCOMPARE(owner->commits[0].second.text, QStringLiteral("42"));
        QVERIFY(list->Editor() == nullptr);
        QCOMPARE(list->SelectedRow(), 5);
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "7");
        list->CloseEditor();
        QCOMPARE(owner->commits.back().second.text, QStringLiteral("7"));
    }

    void newRowsDropTheEditorWithoutStoring() {
        EditFirstItem();
        QTest::keyClicks(EditBox(), "42");
        list->SetRows(SampleRows());
        QVERIFY(list->Editor() == nullptr);
        QVERIFY(owner->commits.empty());
    }

    void theTipStandsBesideTheEditorAndGoesWithIt() {
        owner->offers[0] = {QStringLiteral("Number (decimal):\r\n   100-200"), {QStringLiteral("x")}};
        EditFirstItem();
        auto* tip = list->findChild<BalloonTip*>();
        QVERIFY(tip != nullptr);
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->text(), QStringLiteral("Number (decimal):\n   100-200"));
        QVERIFY(tip->width() <= BalloonTip::kMaxWidth);
        const QWidget* edit = list->Editor();
        const QPoint point = edit->mapToGlobal(QPoint(edit->width() - 40, edit->height() - 10));
        QCOMPARE(tip->geometry().top(), point.y());
        QCOMPARE(tip->geometry().left() + tip->width() / 2, point.x());
        list->resize(400, 300);
        const QPoint moved = edit->mapToGlobal(QPoint(edit->width() - 40, edit->height() - 10));
        QCOMPARE(tip->geometry().left() + tip->width() / 2, moved.x());
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QVERIFY(!tip->isVisible());
    }

    void aCheckBoxChangeIsPutToTheOwner() {
        Show(SampleRows());
        const QPoint box = CellCentre(0, ItemList::kCheckColumn);
        owner->allowEnable = false;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
        QCOMPARE(owner->enableRequests.size(), 1u);
        QCOMPARE(owner->enableRequests[0], (std::pair<std::uint32_t, bool>(0, false)));
        QCOMPARE(list->topLevelItem(0)->checkState(ItemList::kCheckColumn), Qt::Checked);
        owner->allowEnable = true;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
        QCOMPARE(list->topLevelItem(0)->checkState(ItemList::kCheckColumn), Qt::Unchecked);
        QVERIFY(list->SelectRow(0));
        QTest::keyClick(list.get(), Qt::Key_Space);
        QCOMPARE(list->topLevelItem(0)->checkState(ItemList::kCheckColumn), Qt::Checked);
        QCOMPARE(owner->enableRequests.back(), (std::pair<std::uint32_t, bool>(0, true)));
    }

    void contextMenuEntriesDependOnTheRow_data() {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("entries");
        const QStringList common = {
            "Enable all items",         "Disable all items",     "", "Select font...", "",
            "Import data from file...", "Export data to file..."};
        QTest::newRow("item") << false << 4
                              << QStringList{"Edit item...", "", "Enable item", "Disable item", ""} + common;
        QTest::newRow("title") << false << 3 << common;
        QTest::newRow("empty list") << true << -1 << QStringList{"Select font..."};
    }
    void contextMenuEntriesDependOnTheRow() {
        QFETCH(bool, empty);
        QFETCH(int, row);
        QFETCH(QStringList, entries);
        Show(empty ? std::vector<ListRow>{} : SampleRows());
        QMenu* menu = RightClick(row);
        QVERIFY(menu != nullptr);
        QCOMPARE(Entries(menu), entries);
        QCOMPARE(list->SelectedRow(), -1);
    }

    void disableItemAsksTheOwner() {
        Show(SampleRows());
        Entry(RightClick(4), "Disable item")->trigger();
        QCOMPARE(owner->enableRequests, (std::vector<std::pair<std::uint32_t, bool>>{{2, false}}));
        QCOMPARE(list->topLevelItem(4)->checkState(ItemList::kCheckColumn), Qt::Unchecked);
    }

    void contextMenuNeedsNoModifierHeld() {
        Show(SampleRows());
        const QPoint at = CellCentre(0, ItemList::kNameColumn);
        QTest::mousePress(list->viewport(), Qt::RightButton, Qt::ShiftModifier, at);
        QTest::mouseRelease(list->viewport(), Qt::RightButton, Qt::ShiftModifier, at);
        QVERIFY(QApplication::activePopupWidget() == nullptr);
    }

    void rightClickLeavesTheSelectionAndEditItemEditsTheSelectedRow() {
        Show(SampleRows());
        QVERIFY(list->SelectRow(0));
        QMenu* menu = RightClick(5);
        QCOMPARE(list->SelectedRow(), 0);
        Entry(menu, "Edit item...")->trigger();
        QCOMPARE(list->EditingRow(), 0);
    }

    void menuKeyOpensTheMenuOnTheSelectedRow() {
        Show(SampleRows());
        QVERIFY(list->SelectRow(4));
        QTest::keyClick(list.get(), Qt::Key_Menu);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QCOMPARE(Entries(menu).first(), QStringLiteral("Edit item..."));
        Entry(menu, "Enable item")->trigger();
        QVERIFY(owner->enableRequests.empty());  // already enabled
    }

    void allItemsAreAskedOneByOneAndImportExportReachTheOwner() {
        Show(SampleRows());
        QMenu* menu = RightClick(0);
        owner->allowEnable = false;
        Entry(menu, "Disable all items")->trigger();
        QCOMPARE(owner->enableRequests.size(), 4u);
        for (int row : {0, 1, 4, 5}) {
            QCOMPARE(list->topLevelItem(row)->checkState(ItemList::kCheckColumn), Qt::Checked);
        }
        Entry(menu, "Import data from file...")->trigger();
        Entry(menu, "Export data to file...")->trigger();
        QCOMPARE(owner->imports, 1);
        QCOMPARE(owner->exports, 1);
    }

    void theFontEntryUsesTheChosenFont() {
        Show(SampleRows());
        QFont chosen = list->font();
        chosen.setPointSize(chosen.pointSize() + 7);
        chosen.setItalic(true);
        const int before = list->columnWidth(ItemList::kNameColumn);
        auto* timer = new QTimer(list.get());
        connect(timer, &QTimer::timeout, timer, [timer, chosen] {
            if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
                dialog != nullptr) {
                dialog->setCurrentFont(chosen);
                dialog->accept();
                timer->stop();
            }
        });
        timer->start(10);
        Entry(RightClick(0), "Select font...")->trigger();
        QCOMPARE(list->font().pointSize(), chosen.pointSize());
        QVERIFY(list->font().italic());
        QVERIFY(list->columnWidth(ItemList::kNameColumn) > before);
    }

    void columnsFitTheirWidestText() {
        Show({Item(0, "A rather long item name", "1"), Item(1, "b", "2")});
        const QFontMetrics metrics(list->font());
        QCOMPARE(list->columnWidth(ItemList::kNameColumn),
                 metrics.horizontalAdvance(QStringLiteral("A rather long item name")) + 15);
        QVERIFY(list->columnWidth(ItemList::kCheckColumn) >=
                list->style()->pixelMetric(QStyle::PM_IndicatorWidth) * 7 / 5);
        const int used = list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2);
        QCOMPARE(list->columnWidth(ItemList::kValueColumn), list->viewport()->width() - used);
    }

    void nameAlignmentAppliesToEveryRow() {
        Show(SampleRows());
        list->SetNameAlignment(2);
        QVERIFY(list->topLevelItem(0)->textAlignment(ItemList::kNameColumn) & Qt::AlignRight);
        list->SetRows(SampleRows());
        QVERIFY(list->topLevelItem(5)->textAlignment(ItemList::kNameColumn) & Qt::AlignRight);
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::ItemListTest)
#include "ItemListTest.moc"
