// The item view on a real template: what it offers the list, what it lets the list store while the worker
// is busy or not, the unit tabs, and the commands the frame calls. The value rules are the unit's.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <vector>

#include "RecordingPrompt.h"
#include "TestFiles.h"
#include "TestTemplates.h"
#include "document/CVardelDoc.h"
#include "ui/BalloonTip.h"
#include "ui/CVardelView.h"
#include "ui/HexView.h"

namespace tessaly {
namespace {

class FakeFrame : public ItemViewFrame {
  public:
    bool IsDeviceBusy() const override { return busy; }
    const std::vector<ListRow>* RowsInOperation(const Unit& unit) const override {
        return &unit == inOperation ? &rowsInOperation : nullptr;
    }
    void SetBusMode(BusKind bus) override { buses.push_back(bus); }
    void EnableImportExport(bool on) override { importExport.push_back(on); }

    bool busy = false;
    const Unit* inOperation = nullptr;
    std::vector<ListRow> rowsInOperation;
    std::vector<BusKind> buses;
    std::vector<bool> importExport;
};

// Unit 0 rows: 0 "Identity", 1 Speed, 2 and 3 blank, 4 "Gap", 5 Mode, 6 Label.
const std::vector<std::string_view> kTemplate = {"[Config, I2C16]",
                                                 "Identity = TITLE",
                                                 "Magic = STATIC, 0, 54",
                                                 "Speed = NUM, 1, 64-C8, DEC",
                                                 "Gap = TITLE, 2",
                                                 "Mode = ENUM, 3.0-3.1, Idle, Run, Sleep, Test",
                                                 "Label = STRING, 4-B, ASCIIZ",
                                                 "[Fixed, SPI]",
                                                 "Const = STATIC, 0, 1",
                                                 "[Choices, I2C8]",
                                                 "Blank = ENUM, 0.0-0.1, , , , ",
                                                 "Single = ENUM, 1.0-1.1, , Only, , ",
                                                 "Drink = BIT, 2.0, Tea, Caf\xE9",
                                                 "Sugar = BIT, 2.1, No, Yes",
                                                 "Note = STRING, 1F0-1FF, ASCIIZ"};
constexpr int kSpeedRow = 1;
constexpr int kLabelRow = 6;
constexpr std::uint32_t kSpeed = 2;
constexpr std::uint32_t kLabel = 5;

}  // namespace

class CVardelViewTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> directory;
    std::unique_ptr<test::RecordingPrompt> prompt;
    std::unique_ptr<CVardelDoc> document;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<FakeFrame> frame;
    std::unique_ptr<CVardelView> view;
    std::vector<DataFileAccess> fileRequests;
    QString chosenFile;

    QString PathOf(const QString& name) const { return directory->filePath(name); }

    // Opens the template, with a right Speed, and shows it.
    void ShowSample() {
        const std::string path = PathOf("board.dev").toStdString();
        test::WriteBytes(path, test::EncodedScript(kTemplate));
        QCOMPARE(document->OnOpenDocument(path, 0, nullptr), CVardelDoc::OpenResult::Opened);
        QVERIFY(UnitAt(0).SetValueText(kSpeed, "150"));
        view->ShowTemplate();
        view->resize(500, 400);
        view->show();
        QApplication::setActiveWindow(view.get());
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
    }

    Unit& UnitAt(std::uint32_t index) const { return *document->Units()->GetAt(index); }
    ItemList& List() const { return view->List(); }
    QLineEdit* EditBox() const { return qobject_cast<QLineEdit*>(List().Editor()); }
    QString RowValue(int row) const { return List().topLevelItem(row)->text(ItemList::kValueColumn); }
    QTabBar* Tabs() const { return view->findChild<QTabBar*>(); }
    HexView& Hex() const { return *view->findChild<HexView*>(); }
    void ClickByte(std::uint32_t offset) {
        QTest::mouseClick(Hex().viewport(), Qt::LeftButton, {}, Hex().HexRect(offset).center());
    }

    std::string Value(std::uint32_t item, std::uint32_t unit = 0) const {
        std::string text;
        UnitAt(unit).GetValueText(item, text);
        return text;
    }

    // Starts the edit of the row with Enter; true when an editor opened.
    bool Edit(int row) {
        List().SelectRow(row);
        QTest::keyClick(&List(), Qt::Key_Return);
        return List().Editor() != nullptr;
    }

    void ClickCheckBox(int row) {
        const QPoint box = List().visualRect(List().model()->index(row, ItemList::kCheckColumn)).center();
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, box);
    }

  private slots:
    void init() {
        directory = std::make_unique<QTemporaryDir>();
        prompt = std::make_unique<test::RecordingPrompt>();
        document = std::make_unique<CVardelDoc>(*prompt);
        settings = std::make_unique<AppSettings>();
        settings->options = kOptionListResize | kOptionEnableItemTips | kOptionEditOnError;
        settings->fontFace.Set("Courier New");
        settings->fontSize = 10;
        frame = std::make_unique<FakeFrame>();
        view = std::make_unique<CVardelView>(*document, *settings, *frame, *prompt);
        fileRequests.clear();
        chosenFile = PathOf("config.tdf");
        view->SetDataFileChooser([this](DataFileAccess access) {
            fileRequests.push_back(access);
            return chosenFile;
        });
    }

    void cleanup() {
        view.reset();
        document.reset();
    }

    // Before a template one empty tab without rows; then each tab shows the unit icon and names its
    // unit's bus in its tip.
    void aTemplateGetsOneTabPerUnit() {
        QCOMPARE(Tabs()->count(), 1);
        QCOMPARE(Tabs()->tabText(0), QString());
        QCOMPARE(List().RowCount(), 0);
        QVERIFY(view->CheckValues());
        view->Export();
        view->Import();
        QVERIFY(fileRequests.empty());
        ShowSample();
        QCOMPARE(Tabs()->count(), 3);
        QCOMPARE(Tabs()->tabText(2), QStringLiteral("Choices"));
        QVERIFY(!Tabs()->tabIcon(2).isNull());
        QCOMPARE(Tabs()->tabToolTip(0), QStringLiteral("Config, I2C16"));
        QCOMPARE(Tabs()->tabToolTip(1), QStringLiteral("Fixed, SPI"));
        QCOMPARE(frame->buses, std::vector<BusKind>{BusKind::I2C16});
        QCOMPARE(frame->importExport, std::vector<bool>{true});
    }

    void rowsFollowTheListedItemsWithTheRoomBeforeEachTitle() {
        ShowSample();
        const std::vector<std::uint32_t> items = {kNoItem, 2, kNoItem, kNoItem, kNoItem, 4, 5};
        const QStringList names = {"Identity", "Speed", "", "", "Gap", "Mode", "Label"};
        const QStringList numbers = {"", "1", "", "", "", "2", "3"};
        QCOMPARE(List().RowCount(), 7);
        for (int row = 0; row < 7; ++row) {
            QCOMPARE(List().RowItem(row), items[static_cast<std::size_t>(row)]);
            QCOMPARE(List().topLevelItem(row)->text(ItemList::kNameColumn), names[row]);
            QCOMPARE(List().topLevelItem(row)->text(ItemList::kNumberColumn), numbers[row]);
        }
        QCOMPARE(RowValue(kSpeedRow), QStringLiteral("150"));
        QCOMPARE(List().topLevelItem(kSpeedRow)->checkState(ItemList::kCheckColumn), Qt::Checked);
    }

    void theTipDescribesTheItemOnlyWhenTipsAreOn() {
        ShowSample();
        QVERIFY(Edit(kSpeedRow));
        const auto* tip = List().findChild<BalloonTip*>();
        QVERIFY(tip->isVisible() && tip->text().contains(QStringLiteral("100-200")));
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        settings->options &= ~kOptionEnableItemTips;
        QVERIFY(Edit(kSpeedRow));
        QVERIFY(!tip->isVisible());
    }

    // A choice offers its texts that are not empty, and stores the chosen one's own bytes; one text left
    // gets an edit box, none no editor at all.
    void choicesOfferTheirTextsThatAreNotEmpty() {
        ShowSample();
        QVERIFY(view->SelectUnit(2));
        QVERIFY(Edit(2));
        auto* combo = qobject_cast<QComboBox*>(List().Editor());
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), QStringLiteral("Caf\u00E9"));
        combo->setCurrentIndex(1);
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(Value(2, 2), std::string("Caf\xE9"));
        QCOMPARE(RowValue(2), QStringLiteral("Caf\u00E9"));
        QVERIFY(!Edit(0));
        QVERIFY(Edit(1) && EditBox() != nullptr);
    }

    // The unit judges what is typed and stores it: "100" may still grow into a value past the maximum,
    // "1009" is past it. A busy worker blocks edits, check boxes and files.
    void theUnitJudgesWhatIsTypedButABusyWorkerBlocksEditsCheckBoxesAndFiles() {
        ShowSample();
        QVERIFY(Edit(kSpeedRow));
        QTest::keyClicks(EditBox(), "1009");
        QCOMPARE(EditBox()->text(), QStringLiteral("100"));
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(Value(kSpeed), std::string("100"));
        QVERIFY(Edit(kSpeedRow));
        QTest::keyClicks(EditBox(), "120");
        frame->busy = true;
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(Value(kSpeed), std::string("100"));
        QCOMPARE(RowValue(kSpeedRow), QStringLiteral("100"));
        QVERIFY(!Edit(kSpeedRow));
        ClickCheckBox(kSpeedRow);
        QCOMPARE(UnitAt(0).GetItem(kSpeed)->enabled, 1u);
        QCOMPARE(List().topLevelItem(kSpeedRow)->checkState(ItemList::kCheckColumn), Qt::Checked);
        view->Export();
        view->Import();
        QVERIFY(fileRequests.empty());
    }

    // A wrong value is selected, and its editor opened when so set; a disabled item is not checked.
    void checkValuesFindsAWrongValueOfAnEnabledItem() {
        ShowSample();
        UnitAt(0).dataImage[1] = 0xFF;
        view->RefillList();
        QVERIFY(!view->CheckValues());
        QCOMPARE(List().SelectedRow(), kSpeedRow);
        QCOMPARE(EditBox()->text(), QStringLiteral("255"));
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        settings->options &= ~kOptionEditOnError;
        QVERIFY(!view->CheckValues());
        QVERIFY(List().Editor() == nullptr);
        ClickCheckBox(kSpeedRow);
        QCOMPARE(UnitAt(0).GetItem(kSpeed)->enabled, 0u);
        QVERIFY(view->CheckValues());
    }

    // Importing another unit's record asks first, and No leaves the unit alone; a cancelled file dialog
    // does nothing.
    void anExportedUnitIsImportedBackAndShown() {
        ShowSample();
        view->Export();
        QVERIFY(UnitAt(0).SetValueText(kSpeed, "120"));
        view->RefillList();
        view->Import();
        QCOMPARE(fileRequests, (std::vector<DataFileAccess>{DataFileAccess::Export, DataFileAccess::Import}));
        QCOMPARE(RowValue(kSpeedRow), QStringLiteral("150"));
        QVERIFY(view->SelectUnit(2));
        const std::vector<std::uint8_t> before(UnitAt(2).dataImage, UnitAt(2).dataImage + 3);
        view->Import();
        QCOMPARE(prompt->questions.size(), 1u);
        QCOMPARE(std::vector<std::uint8_t>(UnitAt(2).dataImage, UnitAt(2).dataImage + 3), before);
        chosenFile.clear();
        view->Import();
        view->Export();
        QCOMPARE(prompt->questions.size(), 1u);
        QCOMPARE(QDir(directory->path()).entryList({"*.tdf"}).size(), 1);
    }

    // Magic (STATIC, 0x54, shown as Program would write it) at 0, Speed at 1, nothing at 2, Mode's two bits
    // at 3, Label at 4 to B.
    void theHexViewShowsTheUnitWithItsValuesSelectionAndEnabledItems() {
        ShowSample();
        QVERIFY(UnitAt(0).SetValueText(kLabel, "Hi"));
        view->ShowHexView(true);
        QVERIFY(Hex().isVisible());
        QCOMPARE(Hex().LineCount(), 1);
        QCOMPARE(Hex().LineText(0),
                 QStringLiteral("0000  54 96 00 00 48 69 00 00 00 00 00 00              T...Hi......    "));
        QCOMPARE(Hex().OwnersText(2), QString());
        QCOMPARE(Hex().LookOf(2), HexView::Look::Greyed);
        QVERIFY(Edit(kSpeedRow));
        QTest::keyClicks(EditBox(), "120");
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QVERIFY(Hex().LineText(0).startsWith(QStringLiteral("0000  54 78")));
        QCOMPARE(Hex().LookOf(1), HexView::Look::Selected);
        // Another button, a byte no item owns and the margin leave the selection; the text column takes
        // clicks as the digits do. The tooltip names the byte's owners.
        QTest::mouseClick(Hex().viewport(), Qt::RightButton, {}, Hex().HexRect(7).center());
        QTest::mouseClick(Hex().viewport(), Qt::LeftButton, {}, Hex().HexRect(2).center());
        QTest::mouseClick(Hex().viewport(), Qt::LeftButton, {}, QPoint(0, 0));
        QCOMPARE(List().SelectedRow(), kSpeedRow);
        const int digit = Hex().fontMetrics().horizontalAdvance(QLatin1Char('0'));
        const QPoint labelText(Hex().HexRect(0).left() + (3 * 16 + 1 + 7) * digit + digit / 2,
                               Hex().HexRect(7).center().y());
        QTest::mouseClick(Hex().viewport(), Qt::LeftButton, {}, labelText);
        QCOMPARE(List().SelectedRow(), kLabelRow);
        for (const auto& [at, text] : std::vector<std::pair<QPoint, QString>>{
                 {Hex().HexRect(1).center(), "Speed (mask 0xFF)"}, {QPoint(0, 0), ""}}) {
            QHelpEvent tip(QEvent::ToolTip, at, Hex().viewport()->mapToGlobal(at));
            QApplication::sendEvent(Hex().viewport(), &tip);
            QTRY_COMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), text);
        }
        // Half a blank left of a selected byte is filled, so that the bytes of an item join up.
        const QImage shown = Hex().viewport()->grab().toImage();
        QCOMPARE(shown.pixelColor(Hex().HexRect(5).topLeft() + QPoint(-1, 1)),
                 Hex().palette().color(QPalette::Highlight));
        QCOMPARE(Hex().LookOf(4), HexView::Look::Selected);
        QCOMPARE(Hex().LookOf(1), HexView::Look::Programmed);
        ClickCheckBox(kSpeedRow);
        QCOMPARE(Hex().LookOf(1), HexView::Look::Greyed);
        // Magic has no row: the list selects nothing and the hex view alone shows it.
        ClickByte(0);
        QCOMPARE(List().SelectedRow(), -1);
        QCOMPARE(Hex().LookOf(0), HexView::Look::Selected);
        // Clicks on a byte of two items go round them.
        QVERIFY(view->SelectUnit(2));
        QCOMPARE(Hex().OwnersText(2), QStringLiteral("Drink (mask 0x01)\nSugar (mask 0x02)"));
        for (const int row : {2, 3, 2}) {
            ClickByte(2);
            QCOMPARE(List().SelectedRow(), row);
        }
        // An item out of sight, at the unit's end, scrolls into view when its row is selected.
        QVERIFY(List().SelectRow(4));
        const QScrollBar* lines = Hex().verticalScrollBar();
        QVERIFY(lines->maximum() > 0 && lines->value() == lines->maximum());
    }

    // While the worker may write the unit, the hex view keeps the copy it took, greyed, and shows no copy
    // of another unit; after the operation it shows the unit again.
    void theHexViewShowsNoUnitTheWorkerMayBeWriting() {
        ShowSample();
        view->ShowHexView(true);
        frame->inOperation = &UnitAt(0);
        UnitAt(0).dataImage[1] = 0x11;
        view->RefillList();
        QVERIFY(!Hex().isEnabled());
        QVERIFY(Hex().LineText(0).startsWith(QStringLiteral("0000  54 96")));
        QVERIFY(view->SelectUnit(2) && Hex().isEnabled());
        QVERIFY(view->SelectUnit(0));
        QCOMPARE(Hex().LineCount(), 0);
        frame->inOperation = nullptr;
        view->RefillList();
        QVERIFY(Hex().isEnabled() && Hex().LineText(0).startsWith(QStringLiteral("0000  54 11")));
    }

    void switchingTabsEndsTheEditAndShowsTheOtherUnit() {
        ShowSample();
        QVERIFY(Edit(kLabelRow));
        QTest::keyClicks(EditBox(), "xyz");
        QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(2).center());
        QCOMPARE(view->CurrentUnitIndex(), 2u);
        QVERIFY(List().Editor() == nullptr);
        QCOMPARE(List().RowCount(), 5);
        QCOMPARE(Value(kLabel), std::string("xyz"));
        QCOMPARE(frame->buses.back(), BusKind::I2C8);
        // A unit of constants shows no rows, and no unit lies past the last.
        QVERIFY(view->SelectUnit(1));
        QCOMPARE(List().RowCount(), 0);
        QCOMPARE(Tabs()->currentIndex(), 1);
        QCOMPARE(frame->buses.back(), BusKind::SPI);
        QVERIFY(!view->SelectUnit(3));
        QCOMPARE(view->CurrentUnitIndex(), 1u);
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::CVardelViewTest)
#include "CVardelViewTest.moc"
