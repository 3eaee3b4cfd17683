// The item list on its own, driven with key and mouse events against an owner that records every
// question and answers as each test sets it up.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "ui/ItemList.h"

namespace tessaly {
namespace {

using Requests = std::vector<std::pair<std::uint32_t, bool>>;

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
    // Recorded as "ITEM=TEXT", with "#CHOICE" for a choice from a drop-down.
    std::optional<QString> CommitValue(std::uint32_t item, const EditedValue& value) override {
        commits.append(QStringLiteral("%1=%2").arg(item).arg(value.text) +
                       (value.choice >= 0 ? QStringLiteral("#%1").arg(value.choice) : QString()));
        return value.text;
    }
    void ImportRequested() override { ++imports; }
    void ExportRequested() override { ++exports; }

    std::map<std::uint32_t, EditOffer> offers;
    std::function<ValueCheck(std::uint32_t, const EditedValue&)> judge =
        [](std::uint32_t, const EditedValue&) { return ValueCheck::Valid; };
    bool allowEnable = true;
    Requests enableRequests;
    std::vector<std::uint32_t> editRequests;
    QStringList commits;
    int imports = 0;
    int exports = 0;
};

ListRow Item(std::uint32_t item, const QString& name, const QString& value) {
    return {item, QString::number(item + 1), name, value, true, {}, false};
}

ListRow Title(const QString& name = {}) {
    return {kNoItem, {}, name, {}, false, {}, false};
}

// Rows: 0 item 0, 1 item 1, 2 blank title, 3 "Network" title, 4 item 2, 5 item 3, 6 trailing title.
std::vector<ListRow> SampleRows() {
    return {Item(0, "Serial", "1234"), Item(1, "Mode", "Fast"),  Title(),     Title("Network"),
            Item(2, "Port", "80"),     Item(3, "Name", "board"), Title("End")};
}

// Rows: 0 title, 1 item 0, 2 item 1.
std::vector<ListRow> TitleFirst() {
    return {Title("Head"), Item(0, "a", "1"), Item(1, "b", "2")};
}

}  // namespace

class ItemListTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<RecordingOwner> owner;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ItemList> list;

    void Show(const std::vector<ListRow>& rows = SampleRows()) {
        list->SetRows(rows);
        list->AutoSizeColumns();
        list->resize(500, 300);
        list->show();
        QApplication::setActiveWindow(list.get());
        QVERIFY(QTest::qWaitForWindowActive(list.get()));
    }

    QLineEdit* EditBox() const { return qobject_cast<QLineEdit*>(list->Editor()); }
    QComboBox* DropDown() const { return qobject_cast<QComboBox*>(list->Editor()); }
    QString Value(int row) const { return list->topLevelItem(row)->text(ItemList::kValueColumn); }
    Qt::CheckState Check(int row) const {
        return list->topLevelItem(row)->checkState(ItemList::kCheckColumn);
    }
    QPoint CellCentre(int row, int column) const {
        return list->visualRect(list->model()->index(row, column)).center();
    }

    // The selected row and the open editor, as "ROW>EDITED: TEXT": the edit box's selection in brackets or
    // else its caret as "|", a drop-down's text in angle brackets; "ROW>none" without an editor.
    QString State() const {
        const QString row = QString::number(list->SelectedRow()) + '>';
        if (const QLineEdit* box = EditBox()) {
            QString text = box->text();
            if (box->hasSelectedText()) {
                text.insert(box->selectionEnd(), ']').insert(box->selectionStart(), '[');
            } else {
                text.insert(box->cursorPosition(), '|');
            }
            return row + QStringLiteral("%1: %2").arg(list->EditingRow()).arg(text);
        }
        if (const QComboBox* combo = DropDown()) {
            return row + QStringLiteral("%1: <%2>").arg(list->EditingRow()).arg(combo->currentText());
        }
        return list->EditingRow() < 0 ? row + "none" : row + "lost editor";
    }

    void Click(int row, int column = ItemList::kNameColumn) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(row, column));
    }

    // Opens the context menu with the right button on row (or below the rows for -1); it stays open.
    QMenu* RightClick(int row, Qt::KeyboardModifiers modifiers = {}) {
        const QPoint at = row >= 0 ? CellCentre(row, ItemList::kNameColumn) : QPoint(50, 250);
        QTest::mousePress(list->viewport(), Qt::RightButton, modifiers, at);
        QTest::mouseRelease(list->viewport(), Qt::RightButton, modifiers, at);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    // The menu's entries, separators as empty texts.
    static QStringList Entries(const QMenu* menu) {
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            texts.append(action->isSeparator() ? QString() : action->text());
        }
        return texts;
    }

    // Triggers the entry and closes the menu.
    static void Choose(QMenu* menu, const QString& text) {
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                action->trigger();
                menu->close();
                return;
            }
        }
        QFAIL(qPrintable(text));
    }

  private slots:
    void init() {
        owner = std::make_unique<RecordingOwner>();
        settings = std::make_unique<AppSettings>();
        settings->options = kOptionListResize;
        list = std::make_unique<ItemList>(*owner, *settings);
        for (std::uint32_t item = 0; item < 4; ++item) {
            owner->offers[item] = {{}, {QStringLiteral("x")}};
        }
    }

    void cleanup() {
        if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr) {
            popup->close();
        }
        list.reset();
    }

    void titleRowsHaveNoCheckBoxAndTakeNoSelection() {
        Show();
        QCOMPARE(list->RowItem(3), kNoItem);
        QVERIFY(!list->topLevelItem(3)->data(ItemList::kCheckColumn, Qt::CheckStateRole).isValid());
        QVERIFY(list->SelectRow(1) && !list->SelectRow(2));
        Click(3);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(3, ItemList::kValueColumn));
        QCOMPARE(State(), QStringLiteral("1>none"));
        QVERIFY(owner->editRequests.empty());
    }

    // The arrows pass over title rows; Home and End go to the first and the last row, and only when that
    // row is an item row.
    void aKeyMovesTheSelectionOntoItemRowsOnly_data() {
        QTest::addColumn<bool>("titleFirst");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("down over titles") << false << 1 << int(Qt::Key_Down) << 4;
        QTest::newRow("up over titles") << false << 4 << int(Qt::Key_Up) << 1;
        QTest::newRow("up onto a first title") << true << 1 << int(Qt::Key_Up) << 1;
        QTest::newRow("home onto an item") << false << 5 << int(Qt::Key_Home) << 0;
        QTest::newRow("end onto a title") << false << 1 << int(Qt::Key_End) << 1;
        QTest::newRow("home onto a title") << true << 2 << int(Qt::Key_Home) << 2;
        QTest::newRow("end onto an item") << true << 1 << int(Qt::Key_End) << 2;
    }
    void aKeyMovesTheSelectionOntoItemRowsOnly() {
        QFETCH(bool, titleFirst);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        Show(titleFirst ? TitleFirst() : SampleRows());
        QVERIFY(list->SelectRow(from));
        QTest::keyClick(list.get(), static_cast<Qt::Key>(key));
        QCOMPARE(list->SelectedRow(), to);
    }

    // Enter and a double click edit the whole text; a character typed on an item row starts the edit
    // with it: an edit box takes it in place of the value, a drop-down goes to the first entry that
    // begins with it, whatever the letter case. Backspace starts with the last character deleted.
    void aKeyOrADoubleClickStartsTheEdit_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("state");
        QTest::newRow("enter") << QStringList{"x"} << int(Qt::Key_Return) << "1>1: [Fast]";
        QTest::newRow("double click") << QStringList{"x"} << -1 << "1>1: [Fast]";
        QTest::newRow("digit") << QStringList{"x"} << int(Qt::Key_7) << "1>1: 7|";
        QTest::newRow("drop-down") << QStringList{"Stop", "Fast", "Slow"} << int(Qt::Key_S) << "1>1: <Stop>";
        QTest::newRow("no such entry") << QStringList{"Fast", "Slow"} << int(Qt::Key_Q) << "1>1: <Fast>";
    }
    void aKeyOrADoubleClickStartsTheEdit() {
        QFETCH(QStringList, texts);
        QFETCH(int, key);
        QFETCH(QString, state);
        owner->offers[1] = {{}, texts};
        Show();
        QVERIFY(list->SelectRow(1));
        if (key < 0) {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(1, ItemList::kNameColumn));
        } else {
            QTest::keyClick(list.get(), static_cast<Qt::Key>(key));
        }
        QCOMPARE(State(), state);
        list->StartEdit(0, Qt::Key_Backspace);
        QCOMPARE(State(), QStringLiteral("1>0: 123|"));
    }

    void aDropDownWithoutTheShownTextShowsItUnchosen() {
        owner->offers[1] = {{}, {"Slow", "Off"}};
        owner->judge = [](std::uint32_t, const EditedValue& value) {
            return value.choice >= 0 ? ValueCheck::Valid : ValueCheck::WrongOrAboveMaximum;
        };
        Show();
        list->StartEdit(1, kNoInput);
        QCOMPARE(DropDown()->currentIndex(), -1);
        QCOMPARE(DropDown()->placeholderText(), QStringLiteral("Fast"));
        QTest::keyClick(DropDown(), Qt::Key_Return);
        QVERIFY(owner->commits.empty());
        QCOMPARE(Value(1), QStringLiteral("Fast"));
    }

    // An emptied box is not judged while typing.
    void aRefusedKeyIsUndoneWithItsCaret() {
        int checks = 0;
        owner->judge = [&checks](std::uint32_t, const EditedValue& value) {
            ++checks;
            const bool digits =
                std::all_of(value.text.begin(), value.text.end(), [](QChar c) { return c.isDigit(); });
            return digits ? ValueCheck::Valid : ValueCheck::CannotJudge;
        };
        Show();
        list->StartEdit(0, kNoInput);
        QTest::keyClick(EditBox(), Qt::Key_End);
        QTest::keyClick(EditBox(), Qt::Key_Left);
        QTest::keyClicks(EditBox(), "5x");
        QCOMPARE(State(), QStringLiteral("-1>0: 1235|4"));
        EditBox()->selectAll();
        checks = 0;
        QTest::keyClick(EditBox(), Qt::Key_Delete);
        QCOMPARE(State(), QStringLiteral("-1>0: |"));
        QCOMPARE(checks, 0);
        // A long value widens the box to the left, over the name, never past the list.
        const QRect box = EditBox()->geometry();
        QTest::keyClicks(EditBox(), QString(200, QLatin1Char('9')));
        QVERIFY(EditBox()->width() > box.width() && EditBox()->x() >= 0);
        QCOMPARE(EditBox()->geometry().right(), box.right());
    }

    // Escape stores the text or entry the edit started from; a click elsewhere or closing the editor
    // store the edit, new rows drop it.
    void anEditEndsAsItIsLeft() {
        owner->offers[1] = {{}, {"Slow", "Fast", "Off"}};
        Show();
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "99");
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        list->StartEdit(1, kNoInput);
        DropDown()->setCurrentIndex(0);
        QTest::keyClick(DropDown(), Qt::Key_Escape);
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "42");
        Click(5);
        QCOMPARE(State(), QStringLiteral("5>none"));
        QCOMPARE(Value(0), QStringLiteral("42"));
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "7");
        list->CloseEditor();
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "8");
        list->SetRows(SampleRows());
        QCOMPARE(State(), QStringLiteral("-1>none"));
        QCOMPARE(owner->commits, (QStringList{"0=1234", "1=Fast#1", "0=42", "0=7"}));
    }

    // A key that ends an edit stores it and goes on with the nearest item row that way, past title rows,
    // with the text selected; beyond the last item row the edit just ends. The keys of a drop-down end its
    // edit instead of moving the choice.
    void aKeyInTheEditorEndsTheEditAndGoesOn_data() {
        QTest::addColumn<bool>("dropDown");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("state");
        QTest::newRow("tab") << false << 1 << int(Qt::Key_Tab) << "4>4: [80]";
        QTest::newRow("back tab") << false << 4 << int(Qt::Key_Backtab) << "1>1: [Fast]";
        QTest::newRow("down past the last") << false << 5 << int(Qt::Key_Down) << "5>none";
        QTest::newRow("enter") << false << 1 << int(Qt::Key_Return) << "1>none";
        QTest::newRow("down in a drop-down") << true << 0 << int(Qt::Key_Down) << "1>1: <Fast>";
    }
    void aKeyInTheEditorEndsTheEditAndGoesOn() {
        QFETCH(bool, dropDown);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(QString, state);
        if (dropDown) {
            owner->offers[0] = {{}, {"1234", "B", "C"}};
            owner->offers[1] = {{}, {"Slow", "Fast", "Off"}};
        }
        Show();
        QVERIFY(list->SelectRow(from));
        list->StartEdit(from, kNoInput);
        QTest::keyClick(list->Editor(), static_cast<Qt::Key>(key));
        QCOMPARE(State(), state);
        QCOMPARE(owner->commits.size(), 1);
        QVERIFY(
            owner->commits[0].startsWith(QStringLiteral("%1=%2").arg(list->RowItem(from)).arg(Value(from))));
        QVERIFY(list->Editor() != nullptr || list->hasFocus());
    }

    // A mouse click or Space asks the owner, whose No keeps the box as it is.
    void aCheckBoxChangeIsPutToTheOwner() {
        Show();
        owner->allowEnable = false;
        Click(0, ItemList::kCheckColumn);
        QCOMPARE(Check(0), Qt::Checked);
        owner->allowEnable = true;
        Click(0, ItemList::kCheckColumn);
        QCOMPARE(Check(0), Qt::Unchecked);
        QVERIFY(list->SelectRow(0));
        QTest::keyClick(list.get(), Qt::Key_Space);
        QCOMPARE(Check(0), Qt::Checked);
        QCOMPARE(owner->enableRequests, (Requests{{0, false}, {0, false}, {0, true}}));
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

    // A right click leaves the selection where it is and opens no menu with a modifier held; the menu key
    // opens it on the selected row. "Disable all" asks for each item that would change.
    void theContextMenuEntriesReachTheOwner() {
        Show();
        QVERIFY(RightClick(0, Qt::ShiftModifier) == nullptr);
        QVERIFY(list->SelectRow(0));
        Choose(RightClick(4), "Disable item");
        QCOMPARE(Check(4), Qt::Unchecked);
        owner->allowEnable = false;
        Choose(RightClick(5), "Disable all items");
        QCOMPARE(owner->enableRequests, (Requests{{2, false}, {0, false}, {1, false}, {3, false}}));
        QCOMPARE(Check(5), Qt::Checked);
        Choose(RightClick(5), "Import data from file...");
        Choose(RightClick(5), "Export data to file...");
        QCOMPARE(owner->imports + owner->exports * 10, 11);
        QTest::keyClick(list.get(), Qt::Key_Menu);
        Choose(qobject_cast<QMenu*>(QApplication::activePopupWidget()), "Edit item...");
        QCOMPARE(State(), QStringLiteral("0>0: [1234]"));
    }

    // Rows set later take the name alignment too.
    void columnsFitTheirWidestTextAndTheValueTakesTheRest() {
        Show({Item(0, "A rather long item name", "1"), Item(1, "b", "2")});
        QVERIFY(list->columnWidth(ItemList::kNameColumn) >
                QFontMetrics(list->font()).horizontalAdvance(QStringLiteral("A rather long item name")));
        const int used = list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2);
        QCOMPARE(list->columnWidth(ItemList::kValueColumn), list->viewport()->width() - used);
        list->SetNameAlignment(2);
        QVERIFY(list->topLevelItem(0)->textAlignment(ItemList::kNameColumn) & Qt::AlignRight);
        list->SetRows(SampleRows());
        QVERIFY(list->topLevelItem(5)->textAlignment(ItemList::kNameColumn) & Qt::AlignRight);
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::ItemListTest)
#include "ItemListTest.moc"
