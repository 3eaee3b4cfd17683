// The item view on real templates: the list's questions answered by the value codec, driven with key and
// mouse events, and the commands the frame calls.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <vector>

#include "RecordingPrompt.h"
#include "document/CVardelDoc.h"
#include "engine/ScriptCodec.h"
#include "ui/BalloonTip.h"
#include "ui/CVardelView.h"

namespace tessaly {
namespace {

class FakeFrame : public ItemViewFrame {
  public:
    bool IsDeviceBusy() const override { return busy; }
    const std::vector<ListRow>* RowsInOperation(const Unit&) const override { return nullptr; }
    void SetBusMode(BusKind bus) override { buses.push_back(bus); }
    void EnableImportExport(bool on) override { importExport.push_back(on); }

    bool busy = false;
    std::vector<BusKind> buses;
    std::vector<bool> importExport;
};

// Unit 0 rows: 0 "Identity", 1 Speed, 2 Half, 3 and 4 blank, 5 "Gap", 6 Mode, 7 Label, 8 Flag.
const char kTemplate[] =
    "[Config, I2C16]\n"
    "Identity = TITLE\n"
    "Magic = STATIC, 0, 54\n"
    "Speed = NUM, 1, 64-C8, DEC\n"
    "Half = NUM, 2, 0-FF, DEC, 0.5\n"
    "Gap = TITLE, 2\n"
    "Mode = ENUM, 3.0-3.1, Idle, Run, Sleep, Test\n"
    "Label = STRING, 4-B, ASCIIZ\n"
    "Flag = BIT, C.0, Off, On\n"
    "Sum = CHECKSUM, D, 0-C, ZEROS\n"
    "[Fixed, SPI]\n"
    "Const = STATIC, 0, 1\n"
    "Sum = CHECKSUM, 1, 0-0, ZEROS\n"
    "[Choices, I2C8]\n"
    "Blank = ENUM, 0.0-0.1, , , , \n"
    "Single = ENUM, 1.0-1.1, , Only, , \n"
    "Drink = BIT, 2.0, Tea, Caf\xE9\n";

constexpr int kSpeedRow = 1;
constexpr int kHalfRow = 2;
constexpr int kModeRow = 6;
constexpr int kLabelRow = 7;
constexpr std::uint32_t kSpeed = 2;
constexpr std::uint32_t kLabel = 6;

std::string ValueOf(const Unit& unit, std::uint32_t item) {
    std::string text;
    unit.GetValueText(item, text);
    return text;
}

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

    void Open(const std::string& plain, const QString& name = QStringLiteral("board.dev")) {
        std::ofstream(PathOf(name).toStdString(), std::ios::binary) << EncodeScript(plain);
        QCOMPARE(document->OnOpenDocument(PathOf(name).toStdString(), 0, nullptr),
                 CVardelDoc::OpenResult::Opened);
    }

    // Opens the sample template with valid values everywhere and shows it.
    void ShowSample() {
        Open(kTemplate);
        QVERIFY(document->Units()->GetAt(0)->SetValueText(kSpeed, "150"));
        ShowView();
    }

    void ShowView() {
        view->ShowTemplate();
        view->resize(500, 400);
        view->show();
        QApplication::setActiveWindow(view.get());
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
    }

    Unit& Config() const { return *document->Units()->GetAt(0); }
    ItemList& List() const { return view->List(); }
    QLineEdit* EditBox() const { return qobject_cast<QLineEdit*>(List().Editor()); }
    QString RowValue(int row) const { return List().topLevelItem(row)->text(ItemList::kValueColumn); }

    void EditWithEnter(int row) {
        QVERIFY(List().SelectRow(row));
        QTest::keyClick(&List(), Qt::Key_Return);
        QVERIFY(List().Editor() != nullptr);
    }

    void ClickCheckBox(int row) {
        const QPoint box = List().visualRect(List().model()->index(row, ItemList::kCheckColumn)).center();
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, box);
    }

  private slots:
    void init() {
        directory = std::make_unique<QTemporaryDir>();
        QVERIFY(directory->isValid());
        prompt = std::make_unique<test::RecordingPrompt>();
        document = std::make_unique<CVardelDoc>(*prompt);
        settings = std::make_unique<AppSettings>();
        settings->options = kOptionListResize | kOptionEnableItemTips | kOptionEditOnError;
        settings->fontFace.Set("Courier New");
        settings->fontSize = 10;
        frame = std::make_unique<FakeFrame>();
        view = std::make_unique<CVardelView>(*document, *settings, *frame, *prompt);
        fileRequests.clear();
        chosenFile.clear();
        view->SetDataFileChooser([this](DataFileAccess access) {
            fileRequests.push_back(access);
            return chosenFile;
        });
    }

    void cleanup() {
        if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr) {
            popup->close();
        }
        view.reset();
        document.reset();
    }

    void beforeATemplateOneEmptyTabAndNoRows() {
        auto* tabs = view->findChild<QTabBar*>();
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QString());
        QVERIFY(!tabs->tabIcon(0).isNull());
        QCOMPARE(List().RowCount(), 0);
        QVERIFY(view->CurrentUnit() == nullptr);
        QVERIFY(view->CheckValues());
        view->Export();
        view->Import();
        QVERIFY(fileRequests.empty());
    }

    void aLoadedTemplateGetsOneTabPerUnit() {
        ShowSample();
        auto* tabs = view->findChild<QTabBar*>();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Config"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Choices"));
        // Each tab shows the unit icon and names its unit's bus in its tip.
        QCOMPARE(tabs->iconSize(), QSize(32, 32));
        QVERIFY(!tabs->tabIcon(2).isNull());
        QCOMPARE(tabs->tabToolTip(0), QStringLiteral("Config, I2C16"));
        QCOMPARE(tabs->tabToolTip(1), QStringLiteral("Fixed, SPI"));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!document->templateChanged);
        QCOMPARE(frame->buses, std::vector<BusKind>{BusKind::I2C16});
        QCOMPARE(frame->importExport, std::vector<bool>{true});
    }

    void rowsFollowTheListedItems() {
        ShowSample();
        const std::vector<std::uint32_t> items = {kNoItem, 2, 3, kNoItem, kNoItem, kNoItem, 5, 6, 7};
        const QStringList names = {"Identity", "Speed", "Half", "", "", "Gap", "Mode", "Label", "Flag"};
        const QStringList numbers = {"", "1", "2", "", "", "", "3", "4", "5"};
        QCOMPARE(List().RowCount(), 9);
        for (int row = 0; row < 9; ++row) {
            QCOMPARE(List().RowItem(row), items[static_cast<std::size_t>(row)]);
            QCOMPARE(List().topLevelItem(row)->text(ItemList::kNameColumn), names[row]);
            QCOMPARE(List().topLevelItem(row)->text(ItemList::kNumberColumn), numbers[row]);
        }
        QCOMPARE(RowValue(kSpeedRow), QStringLiteral("150"));
        QCOMPARE(RowValue(kModeRow), QStringLiteral("Idle"));
        QCOMPARE(List().topLevelItem(kSpeedRow)->checkState(ItemList::kCheckColumn), Qt::Checked);
    }

    void aUnitOfConstantsShowsAnEmptyListAndNoUnitLiesPastTheLast() {
        ShowSample();
        QVERIFY(view->SelectUnit(1));
        QCOMPARE(List().RowCount(), 0);
        QCOMPARE(document->Units()->GetCurrent(), 1u);
        QCOMPARE(frame->buses.back(), BusKind::SPI);
        QCOMPARE(view->findChild<QTabBar*>()->currentIndex(), 1);
        QVERIFY(!view->SelectUnit(3));
        QCOMPARE(view->CurrentUnitIndex(), 1u);
        QCOMPARE(frame->buses.size(), 2u);
    }

    // "10" may grow into a value, so it can be typed but is not stored; "1009" is past the maximum.
    void aNumberWithMinimum100IsTypedDigitByDigitAndOnlyAValueIsStored() {
        ShowSample();
        EditWithEnter(kSpeedRow);
        QTest::keyClicks(EditBox(), "10x");
        QCOMPARE(EditBox()->text(), QStringLiteral("10"));
        QCOMPARE(EditBox()->cursorPosition(), 2);
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(ValueOf(Config(), kSpeed), std::string("150"));
        QCOMPARE(RowValue(kSpeedRow), QStringLiteral("150"));
        EditWithEnter(kSpeedRow);
        QTest::keyClicks(EditBox(), "1009");
        QCOMPARE(EditBox()->text(), QStringLiteral("100"));
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(ValueOf(Config(), kSpeed), std::string("100"));
        QCOMPARE(RowValue(kSpeedRow), QStringLiteral("100"));
    }

    void escapeStoresTheShownValueOfAScaledNumber() {
        Open(kTemplate);
        Config().dataImage[2] = 7;
        ShowView();
        QCOMPARE(RowValue(kHalfRow), QStringLiteral("3"));
        EditWithEnter(kHalfRow);
        QTest::keyClicks(EditBox(), "8");
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        QCOMPARE(Config().dataImage[2], 6);
        QCOMPARE(RowValue(kHalfRow), QStringLiteral("3"));
        Config().dataImage[2] = 7;
        EditWithEnter(kHalfRow);
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(Config().dataImage[2], 6);
    }

    void anEmptiedNumberKeepsItsValueAnEmptiedStringIsStored() {
        ShowSample();
        QVERIFY(Config().SetValueText(kLabel, "abc"));
        view->RefillList();
        EditWithEnter(kSpeedRow);
        QTest::keyClick(EditBox(), Qt::Key_Delete);
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(ValueOf(Config(), kSpeed), std::string("150"));
        EditWithEnter(kLabelRow);
        QCOMPARE(EditBox()->text(), QStringLiteral("abc"));
        QTest::keyClick(EditBox(), Qt::Key_Delete);
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(ValueOf(Config(), kLabel), std::string());
        QCOMPARE(RowValue(kLabelRow), QString());
    }

    void aStringLongerThanItsRoomCannotBeTyped() {
        ShowSample();
        EditWithEnter(kLabelRow);
        QTest::keyClicks(EditBox(), "abcdefghij");
        QCOMPARE(EditBox()->text(), QStringLiteral("abcdefg"));
    }

    void theTipDescribesTheItemWhenTipsAreOn() {
        ShowSample();
        EditWithEnter(kSpeedRow);
        const auto* tip = List().findChild<BalloonTip*>();
        QVERIFY(tip != nullptr && tip->isVisible());
        QCOMPARE(tip->text(), QString::fromStdString(Config().DescribeItem(kSpeed)).replace("\r\n", "\n"));
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        settings->options &= ~kOptionEnableItemTips;
        EditWithEnter(kSpeedRow);
        QVERIFY(!tip->isVisible());
    }

    void choicesOpenADropDownAndAreStoredByTheirOwnBytes() {
        ShowSample();
        QVERIFY(view->SelectUnit(2));
        QCOMPARE(List().RowCount(), 3);
        EditWithEnter(2);
        auto* combo = qobject_cast<QComboBox*>(List().Editor());
        QVERIFY(combo != nullptr);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), QStringLiteral("Caf\u00E9"));
        combo->setCurrentIndex(1);
        QTest::keyClick(combo, Qt::Key_Return);
        const Unit& choices = *document->Units()->GetAt(2);
        QCOMPARE(ValueOf(choices, 2), std::string("Caf\xE9"));
        QCOMPARE(choices.dataImage[2] & 1, 1);
        QCOMPARE(RowValue(2), QStringLiteral("Caf\u00E9"));
    }

    void aChoiceOfEmptyTextsCannotBeEditedAndOneTextGetsAnEditBox() {
        ShowSample();
        QVERIFY(view->SelectUnit(2));
        EditWithEnter(2);
        QTest::keyClick(List().Editor(), Qt::Key_Escape);
        QVERIFY(List().SelectRow(0));
        QTest::keyClick(&List(), Qt::Key_Return);
        QVERIFY(List().Editor() == nullptr);
        QVERIFY(List().SelectRow(1));
        QTest::keyClick(&List(), Qt::Key_Return);
        QVERIFY(EditBox() != nullptr);
        // No prefix of the one text is a value, so it can be pasted but not typed.
        QTest::keyClicks(EditBox(), "O");
        QCOMPARE(EditBox()->text(), QString());
        QGuiApplication::clipboard()->setText(QStringLiteral("Only"));
        QTest::keyClick(EditBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(EditBox()->text(), QStringLiteral("Only"));
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(ValueOf(*document->Units()->GetAt(2), 1), std::string("Only"));
    }

    void aBusyWorkerBlocksEditorsCheckBoxesAndFiles() {
        ShowSample();
        frame->busy = true;
        QVERIFY(List().SelectRow(kSpeedRow));
        QTest::keyClick(&List(), Qt::Key_Return);
        QVERIFY(List().Editor() == nullptr);
        QTest::mouseDClick(
            List().viewport(), Qt::LeftButton, {},
            List().visualRect(List().model()->index(kSpeedRow, ItemList::kValueColumn)).center());
        QVERIFY(List().Editor() == nullptr);
        ClickCheckBox(kSpeedRow);
        QCOMPARE(Config().GetItem(kSpeed)->enabled, 1u);
        QCOMPARE(List().topLevelItem(kSpeedRow)->checkState(ItemList::kCheckColumn), Qt::Checked);
        chosenFile = PathOf("busy.tdf");
        view->Export();
        view->Import();
        QVERIFY(fileRequests.empty());
    }

    void anEditEndingWhileTheWorkerIsBusyStoresNothing() {
        ShowSample();
        EditWithEnter(kSpeedRow);
        QTest::keyClicks(EditBox(), "120");
        frame->busy = true;
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(ValueOf(Config(), kSpeed), std::string("150"));
        QCOMPARE(RowValue(kSpeedRow), QStringLiteral("150"));
    }

    void checkValuesFindsAWrongEnabledValueAndOpensItsEditorIfSoSet() {
        ShowSample();
        QVERIFY(view->CheckValues());
        Config().dataImage[1] = 0xFF;
        view->RefillList();
        QVERIFY(!view->CheckValues());
        QCOMPARE(List().SelectedRow(), kSpeedRow);
        QCOMPARE(List().EditingRow(), kSpeedRow);
        QCOMPARE(EditBox()->text(), QStringLiteral("255"));
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        settings->options &= ~kOptionEditOnError;
        QVERIFY(!view->CheckValues());
        QVERIFY(List().Editor() == nullptr);
    }

    void checkValuesSkipsADisabledItemWhichLeavesTheProgramMask() {
        ShowSample();
        Config().dataImage[1] = 0xFF;
        view->RefillList();
        ClickCheckBox(kSpeedRow);
        QCOMPARE(Config().GetItem(kSpeed)->enabled, 0u);
        QCOMPARE(List().topLevelItem(kSpeedRow)->checkState(ItemList::kCheckColumn), Qt::Unchecked);
        QVERIFY(view->CheckValues());
        Config().UpdateProgramMask();
        QCOMPARE(Config().programMask[1], 0);
        QCOMPARE(Config().programMask[2], 0xFF);
    }

    void anExportedUnitIsImportedBackAndShown() {
        ShowSample();
        chosenFile = PathOf("config.tdf");
        view->Export();
        QVERIFY(Config().SetValueText(kSpeed, "120"));
        view->RefillList();
        view->Import();
        QCOMPARE(fileRequests, (std::vector<DataFileAccess>{DataFileAccess::Export, DataFileAccess::Import}));
        QVERIFY(prompt->questions.empty());
        QCOMPARE(ValueOf(Config(), kSpeed), std::string("150"));
        QCOMPARE(RowValue(kSpeedRow), QStringLiteral("150"));
    }

    void importFromAnotherUnitAsksAndTakesTheFirstRecordOnYes() {
        ShowSample();
        QVERIFY(Config().SetValueText(kSpeed, "149"));  // its low two bits choose "Only" in Choices
        chosenFile = PathOf("config.tdf");
        view->Export();
        QVERIFY(view->SelectUnit(2));
        const std::uint8_t before = document->Units()->GetAt(2)->dataImage[1];
        view->Import();
        QCOMPARE(prompt->questions.size(), 1u);
        QCOMPARE(document->Units()->GetAt(2)->dataImage[1], before);
        test::RecordingPrompt yes(true);
        CVardelView other(*document, *settings, *frame, yes);
        other.SetDataFileChooser([this](DataFileAccess) { return chosenFile; });
        other.ShowTemplate();
        QVERIFY(other.SelectUnit(2));
        other.Import();
        QCOMPARE(yes.questions.size(), 1u);
        const Unit& choices = *document->Units()->GetAt(2);
        QCOMPARE(choices.dataImage[1], 149);
        QCOMPARE(other.List().topLevelItem(1)->text(ItemList::kValueColumn), QStringLiteral("Only"));
    }

    void aCancelledFileDialogDoesNothing() {
        ShowSample();
        view->Import();
        view->Export();
        QCOMPARE(fileRequests.size(), 2u);
        QVERIFY(QDir(directory->path()).entryList({"*.tdf"}).isEmpty());
    }

    void switchingTabsEndsTheEditAndShowsTheOtherUnit() {
        ShowSample();
        EditWithEnter(kLabelRow);
        QTest::keyClicks(EditBox(), "xyz");
        auto* tabs = view->findChild<QTabBar*>();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(view->CurrentUnitIndex(), 2u);
        QVERIFY(List().Editor() == nullptr);
        QCOMPARE(List().RowCount(), 3);
        QCOMPARE(ValueOf(Config(), kLabel), std::string("xyz"));
        QCOMPARE(frame->buses.back(), BusKind::I2C8);
    }

    void theListStartsWithTheSettingsFontAndWritesItBackAtExit() {
        view.reset();
        settings->fontFace.Set("DejaVu Sans");
        settings->fontSize = 12;
        settings->fontFlags = kFontBold;
        settings->fontCharSet = 204;
        view = std::make_unique<CVardelView>(*document, *settings, *frame, *prompt);
        QCOMPARE(List().font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(List().font().pointSize(), 12);
        QCOMPARE(List().font().weight(), QFont::Bold);
        QVERIFY(!List().font().italic());
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(14);
        font.setItalic(true);
        font.setWeight(QFont::Bold);
        List().SetListFont(font);
        view.reset();
        QCOMPARE(settings->fontFace.View(), std::string_view("DejaVu Serif"));
        QCOMPARE(settings->fontSize, 14);
        QCOMPARE(settings->fontFlags, kFontBold | kFontItalic);
        QCOMPARE(settings->fontCharSet, 204);
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::CVardelViewTest)
#include "CVardelViewTest.moc"
