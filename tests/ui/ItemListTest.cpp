// The item list on its own, driven with key and mouse events against an owner that records every
// question and answers as each test sets it up.

#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "ui/BalloonTip.h"
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
    Requests enableRequests;
    std::vector<std::uint32_t> editRequests;
    std::vector<std::pair<std::uint32_t, EditedValue>> commits;
    int imports = 0;
    int exports = 0;
};

ListRow Item(std::uint32_t item, const QString& name, const QString& value) {
    return {item, QString::number(item + 1), name, value, true};
}

ListRow Title(const QString& name = {}) {
    return {kNoItem, {}, name, {}, false};
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
        QCOMPARE(Check(0), Qt::Checked);
        QVERIFY(list->SelectRow(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(3, ItemList::kNameColumn));
        QCOMPARE(list->SelectedRow(), 1);
        QVERIFY(!list->SelectRow(2));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(3, ItemList::kValueColumn));
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
        Show();
        QVERIFY(list->SelectRow(1));
        QTest::keyClick(list.get(), typed);
        QCOMPARE(list->EditingRow(), 1);
        QCOMPARE(EditBox() != nullptr ? EditBox()->text() : DropDown()->currentText(), shown);
    }

    void enterOrADoubleClickEditsWithTheWholeTextSelectedBackspaceWithTheLastCharacterDeleted() {
        Show();
        QVERIFY(list->SelectRow(1));
        QTest::keyClick(list.get(), Qt::Key_Return);
        QCOMPARE(list->EditingRow(), 1);
        QCOMPARE(EditBox()->selectedText(), QStringLiteral("Fast"));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(4, ItemList::kNameColumn));
        QCOMPARE(list->EditingRow(), 4);
        QCOMPARE(EditBox()->selectedText(), QStringLiteral("80"));
        list->StartEdit(0, Qt::Key_Backspace);
        QCOMPARE(EditBox()->text(), QStringLiteral("123"));
        QCOMPARE(EditBox()->cursorPosition(), 3);
    }

    void twoTextsOpenADropDownOnTheShownEntryAndReportTheChoiceByPosition() {
        owner->offers[1] = {{}, {"Slow", "Fast", "Off"}};
        Show();
        list->StartEdit(1, kNoInput);
        QCOMPARE(DropDown()->count(), 3);
        QCOMPARE(DropDown()->currentIndex(), 1);
        DropDown()->setCurrentIndex(2);
        QTest::keyClick(DropDown(), Qt::Key_Return);
        QCOMPARE(owner->commits.size(), 1u);
        QCOMPARE(owner->commits[0].second.choice, 2);
        QCOMPARE(owner->commits[0].second.text, QStringLiteral("Off"));
        QCOMPARE(Value(1), QStringLiteral("Off"));
        QVERIFY(list->Editor() == nullptr);
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

    void noOfferOrNoTextsOpenNothing() {
        owner->offers.erase(0);
        owner->offers[1] = EditOffer{};
        Show();
        list->StartEdit(0, kNoInput);
        list->StartEdit(1, kNoInput);
        QVERIFY(list->Editor() == nullptr);
        QCOMPARE(list->EditingRow(), -1);
        QCOMPARE(owner->editRequests, (std::vector<std::uint32_t>{0, 1}));
        list->StartEdit(3, kNoInput);
        QCOMPARE(owner->editRequests.size(), 2u);
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
        QCOMPARE(EditBox()->text(), QStringLiteral("12354"));
        QCOMPARE(EditBox()->cursorPosition(), 4);
        QTest::keyClicks(EditBox(), "6");
        QCOMPARE(EditBox()->text(), QStringLiteral("123564"));
        checks = 0;
        EditBox()->selectAll();
        QTest::keyClick(EditBox(), Qt::Key_Delete);
        QCOMPARE(EditBox()->text(), QString());
        QCOMPARE(checks, 0);
    }

    // The box grows to the left, over the name, and stays within the list.
    void typingWidensTheBox() {
        Show();
        list->setColumnWidth(ItemList::kNameColumn, 300);
        list->StartEdit(0, kNoInput);
        const int before = EditBox()->width();
        QTest::keyClicks(EditBox(), QString(40, QLatin1Char('7')));
        QVERIFY(EditBox()->width() > before);
        QVERIFY(EditBox()->geometry().left() >= 0);
        QVERIFY(EditBox()->geometry().right() < list->viewport()->width());
    }

    void escapeStoresTheInitialTextOrEntryAgain() {
        owner->offers[1] = {{}, {"Slow", "Fast", "Off"}};
        Show();
        list->StartEdit(0, kNoInput);
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

    // A text kept while typing (below the minimum) but refused at the end is not stored; nor is one the
    // owner does not store.
    void aTextThatFailsAtTheEndIsDropped() {
        owner->judge = [](std::uint32_t, const EditedValue& value) {
            return value.text.size() < 3 ? ValueCheck::BelowMinimum : ValueCheck::Valid;
        };
        Show();
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "12");
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(owner->commits.size(), 1u);
        owner->storeCommits = false;
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "777");
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(Value(0), QStringLiteral("12"));
    }

    // A key that ends an edit stores it and goes on with the nearest item row that way, past title rows,
    // in an edit box with the text selected or a drop-down; beyond the last item row the edit just ends.
    void aKeyInTheEditorEndsTheEditAndGoesOn_data() {
        QTest::addColumn<bool>("dropDown");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("tab") << false << 1 << int(Qt::Key_Tab) << 4;
        QTest::newRow("back tab") << false << 4 << int(Qt::Key_Backtab) << 1;
        QTest::newRow("page down") << false << 1 << int(Qt::Key_PageDown) << 4;
        QTest::newRow("page up") << false << 4 << int(Qt::Key_PageUp) << 1;
        QTest::newRow("down past the last") << false << 5 << int(Qt::Key_Down) << -1;
        QTest::newRow("enter") << false << 1 << int(Qt::Key_Return) << -1;
        QTest::newRow("down in a drop-down") << true << 0 << int(Qt::Key_Down) << 1;
    }
    void aKeyInTheEditorEndsTheEditAndGoesOn() {
        QFETCH(bool, dropDown);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        if (dropDown) {
            owner->offers[0] = {{}, {"1234", "B", "C"}};
            owner->offers[1] = {{}, {"Slow", "Fast", "Off"}};
        }
        Show();
        QVERIFY(list->SelectRow(from));
        list->StartEdit(from, kNoInput);
        QTest::keyClick(list->Editor(), static_cast<Qt::Key>(key));
        QCOMPARE(owner->commits.size(), 1u);
        QCOMPARE(owner->commits[0].first, list->RowItem(from));
        QCOMPARE(owner->commits[0].second.text, Value(from));
        QCOMPARE(list->EditingRow(), to);
        QCOMPARE(list->SelectedRow(), to >= 0 ? to : from);
        if (to < 0) {
            QVERIFY(list->Editor() == nullptr);
            QVERIFY(list->hasFocus());
        } else if (dropDown) {
            QCOMPARE(DropDown()->currentText(), QStringLiteral("Fast"));
        } else {
            QCOMPARE(EditBox()->selectedText(), Value(to));
        }
    }

    void clickingElsewhereOrClosingTheEditorStoresTheEdit() {
        Show();
        list->StartEdit(0, kNoInput);
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
        list->StartEdit(0, kNoInput);
        QTest::keyClicks(EditBox(), "8");
        list->SetRows(SampleRows());
        QVERIFY(list->Editor() == nullptr);
        QCOMPARE(owner->commits.size(), 2u);
    }

    // The tip's line breaks are the list's own; it follows the editor as the list changes size.
    void theTipStandsBesideTheEditorAndGoesWithIt() {
        owner->offers[0] = {QStringLiteral("Number (decimal):\r\n   100-200"), {QStringLiteral("x")}};
        Show();
        list->StartEdit(0, kNoInput);
        auto* tip = list->findChild<BalloonTip*>();
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->text(), QStringLiteral("Number (decimal):\n   100-200"));
        const QPoint before = tip->pos();
        list->resize(400, 300);
        QVERIFY(tip->pos() != before);
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QVERIFY(!tip->isVisible());
    }

    // A mouse click or Space asks the owner, whose No keeps the box as it is.
    void aCheckBoxChangeIsPutToTheOwner() {
        Show();
        const QPoint box = CellCentre(0, ItemList::kCheckColumn);
        owner->allowEnable = false;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
        QCOMPARE(owner->enableRequests, (Requests{{0, false}}));
        QCOMPARE(Check(0), Qt::Checked);
        owner->allowEnable = true;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
        QCOMPARE(Check(0), Qt::Unchecked);
        QVERIFY(list->SelectRow(0));
        QTest::keyClick(list.get(), Qt::Key_Space);
        QCOMPARE(Check(0), Qt::Checked);
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

    // A right click leaves the selection where it is and opens no menu with a modifier held; the menu key
    // opens it on the selected row.
    void theContextMenuEntriesReachTheOwner() {
        Show();
        QVERIFY(RightClick(0, Qt::ShiftModifier) == nullptr);
        QVERIFY(list->SelectRow(0));
        Choose(RightClick(4), "Disable item");
        QCOMPARE(owner->enableRequests, (Requests{{2, false}}));
        QCOMPARE(Check(4), Qt::Unchecked);
        QCOMPARE(list->SelectedRow(), 0);
        owner->allowEnable = false;
        Choose(RightClick(5), "Disable all items");
        QCOMPARE(owner->enableRequests.size(), 4u);
        QCOMPARE(Check(5), Qt::Checked);
        Choose(RightClick(5), "Import data from file...");
        Choose(RightClick(5), "Export data to file...");
        QCOMPARE(owner->imports, 1);
        QCOMPARE(owner->exports, 1);
        QTest::keyClick(list.get(), Qt::Key_Menu);
        Choose(qobject_cast<QMenu*>(QApplication::activePopupWidget()), "Edit item...");
        QCOMPARE(list->EditingRow(), 0);
    }

    void theFontEntryUsesTheChosenFont() {
        Show();
        QFont chosen = list->font();
        chosen.setPointSize(chosen.pointSize() + 7);
        chosen.setItalic(true);
        const int before = list->columnWidth(ItemList::kNameColumn);
        auto* timer = new QTimer(list.get());
        connect(timer, &QTimer::timeout, timer, [timer, chosen] {
            if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
                dialog->setCurrentFont(chosen);
                dialog->accept();
                timer->stop();
            }
        });
        timer->start(10);
        Choose(RightClick(0), "Select font...");
        QCOMPARE(list->font().pointSize(), chosen.pointSize());
        QVERIFY(list->font().italic());
        QVERIFY(list->columnWidth(ItemList::kNameColumn) > before);
    }

    void columnsFitTheirWidestTextAndTheValueTakesTheRest() {
        Show({Item(0, "A rather long item name", "1"), Item(1, "b", "2")});
        const QFontMetrics metrics(list->font());
        QVERIFY(list->columnWidth(ItemList::kNameColumn) >
                metrics.horizontalAdvance(QStringLiteral("A rather long item name")));
        const int used = list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2);
        QCOMPARE(list->columnWidth(ItemList::kValueColumn), list->viewport()->width() - used);
    }

    void nameAlignmentAppliesToEveryRow() {
        Show();
        list->SetNameAlignment(2);
        QVERIFY(list->topLevelItem(0)->textAlignment(ItemList::kNameColumn) & Qt::AlignRight);
        list->SetRows(SampleRows());
        QVERIFY(list->topLevelItem(5)->textAlignment(ItemList::kNameColumn) & Qt::AlignRight);
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::ItemListTest)
#include "ItemListTest.moc"
