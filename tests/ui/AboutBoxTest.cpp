// The About box and its parts: the version block read back from an executable's file, the version and
// notice shown from it, and the OK button that bounces between its turn points.

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <array>
#include <vector>

#include "TestFiles.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/AboutBox.h"
#include "ui/ButtonBounce.h"
#include "ui/VersionInfo.h"

namespace tessaly {
namespace {

using Buffer = std::array<char, 64>;

// A block as an executable holds it. Built at run time, so that this test's own file holds no block but
// the one CMake embedded.
std::string Block(const std::string& lines) {
    return std::string(kVersionBlockMarker) + '\n' + lines + '\0';
}

// Bytes around the block as a linker leaves them, including the marker text without its line feed.
std::string Executable(const std::string& block) {
    return std::string(
               "\x7F"
               "ELF\x02\x01\x01",
               7) +
           std::string(300, '\0') + std::string(kVersionBlockMarker) + '\0' + "other text" +
           std::string(20, '\x90') + block + std::string(50, '\0');
}

// The value, or what became of the buffer when there is none.
std::string Read(const VersionInfo& info, std::string_view name) {
    Buffer buffer;
    buffer.fill('x');
    if (info.GetString(name, buffer)) {
        return buffer.data();
    }
    const auto all = [&buffer](char c) { return std::count(buffer.begin(), buffer.end(), c) == 64; };
    return all('\0') ? "<zeros>" : all('x') ? "<untouched>" : "<spoilt>";
}

constexpr QRect kBox{100, 200, 400, 130};
constexpr QRect kButton{400, 230, 80, 25};

// The button's top edge after each of count ticks that follow the rest; the box moves by drop pixels
// after the first.
std::vector<int> Tops(const QRect& start, int count, int drop = 0) {
    ButtonBounce bounce;
    for (int tick = 0; tick < 75; ++tick) {
        if (bounce.Tick(kBox, start)) {
            return {};
        }
    }
    std::vector<int> tops;
    QRect button = start;
    for (int tick = 0; tick < count; ++tick) {
        button =
            *bounce.Tick(kBox.translated(0, tick > 0 ? drop : 0), button.translated(0, tick == 1 ? drop : 0));
        tops.push_back(button.top());
    }
    return tops;
}

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    std::string Write(const QString& name, const std::string& bytes) {
        const std::string path = dir.filePath(name).toStdString();
        test::WriteBytes(path, bytes);
        return path;
    }
    static QString Label(const AboutBox& box, const char* name) {
        return box.findChild<QLabel*>(QLatin1String(name))->text();
    }

  private slots:
    void cleanup() { ProcessMessageTable().Free(); }

    void theBuiltExecutableCarriesItsVersionBlock() {
        VersionInfo info;
        QVERIFY(info.Attach(kOwnExecutable));
        QCOMPARE(Read(info, "ProductVersion"), std::string(TESSALY_EXPECTED_PRODUCT_VERSION));
        QCOMPARE(Read(info, "SpecialBuild"), std::string(TESSALY_EXPECTED_BUILD));
        QCOMPARE(Read(info, "OriginalFileName"), std::string("about_box_test"));
        QCOMPARE(Read(info, "LegalTrademarks"), std::string("<zeros>"));
        AboutBox box;
        QVERIFY(Label(box, "version").endsWith(QStringLiteral("(Build " TESSALY_EXPECTED_BUILD ")")));
        QVERIFY(Label(box, "notice").startsWith(QStringLiteral("Copyright")));
        QVERIFY(Label(box, "notice").endsWith(QStringLiteral(", Halvorn")));
    }

    void aBlockNeedsItsZeroByteAndANameOnEachLine() {
        std::string atTheEnd = Block("ProductVersion=1.0\n");
        atTheEnd.pop_back();
        QVERIFY(!VersionInfo().Attach(Write("cut", atTheEnd)));
        QVERIFY(!VersionInfo().Attach(Write("endless", Executable(Block(std::string(5000, 'a'))))));
        QVERIFY(!VersionInfo().Attach(Write("nameless", Executable(Block("=1.0\n")))));
        QVERIFY(!VersionInfo().Attach(Write("noequals", Executable(Block("ProductVersion\n")))));
        QVERIFY(!VersionInfo().Attach(Write("plain", Executable(""))));
        QVERIFY(!VersionInfo().Attach(dir.filePath(QStringLiteral("missing")).toStdString()));
        QVERIFY(VersionInfo().Attach(Write("empty", Executable(Block("")))));
    }

    // Nothing loaded, no buffer or an index past the names leave the buffer untouched; a value too long
    // for it (62 bytes fit in 64) or missing leaves it zero-filled.
    void aValueTooLongOrMissingLeavesAZeroFilledBuffer() {
        VersionInfo info;
        QCOMPARE(Read(info, "CompanyName"), std::string("<untouched>"));
        const std::string fits(62, 'c');
        QVERIFY(info.Attach(
            Write("long", Executable(Block("CompanyName=" + fits + "\nLegalCopyRight=" + fits + "c\n")))));
        QCOMPARE(Read(info, "CompanyName"), fits);
        QCOMPARE(Read(info, "LegalCopyRight"), std::string("<zeros>"));
        QCOMPARE(Read(info, "SpecialBuild"), std::string("<zeros>"));
        std::array<char, 8> small;
        small.fill('x');
        QVERIFY(!info.GetString("CompanyName", std::span<char>(small.data(), 0)));
        QVERIFY(!info.GetStringByIndex(kVersionValueNames.size(), small));
        QCOMPARE(small[0], 'x');
    }

    // The minor number is read as a number; missing values show as zero and leave the separator.
    void theBoxShowsTheVersionAndNoticeOfTheBlock_data() {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("notice");
        QTest::newRow("whole")
            << "ProductVersion=2.05\nSpecialBuild=412\nLegalCopyRight=(C) 2003\nCompanyName=Halvorn\n"
            << "2.5 (Build 412)"
            << "(C) 2003, Halvorn";
        QTest::newRow("no numbers") << "ProductVersion=beta\nLegalCopyRight=(C) 2003\n"
                                    << "0.0 (Build 0)"
                                    << "(C) 2003, ";
        QTest::newRow("major only") << "ProductVersion=3\nSpecialBuild=7 beta\n"
                                    << "3.0 (Build 7)"
                                    << ", ";
        QTest::newRow("no block") << QString() << QString() << QString();
    }
    void theBoxShowsTheVersionAndNoticeOfTheBlock() {
        QFETCH(QString, lines);
        QFETCH(QString, version);
        QFETCH(QString, notice);
        const std::string bytes = lines.isEmpty() ? std::string() : Executable(Block(lines.toStdString()));
        AboutBox box(nullptr, Write("box", bytes));
        QCOMPARE(Label(box, "version"),
                 version.isEmpty() ? version : "Tessaly for  Win9x/NT/XP\nVersion " + version);
        QCOMPARE(Label(box, "notice"), notice);
    }

    void aTranslatedVersionTextKeepsItsNumbers() {
        ProcessMessageTable().Create();
        QVERIFY(ProcessMessageTable().Store(msg::kAboutVersion, "Tessaly\nVersion %d.%d, Ausgabe %d"));
        AboutBox box(nullptr,
                     Write("translated", Executable(Block("ProductVersion=1.4\nSpecialBuild=99\n"))));
        QCOMPARE(Label(box, "version"), QStringLiteral("Tessaly\nVersion 1.4, Ausgabe 99"));
    }

    void escapeDoesNotCloseTheBoxButEnterOrTheCloseCommandDo() {
        AboutBox entered;
        entered.show();
        QTest::keyClick(&entered, Qt::Key_Escape);
        QVERIFY(entered.isVisible());
        QTest::keyClick(&entered, Qt::Key_Return);
        QVERIFY(!entered.isVisible());
        QCOMPARE(entered.result(), int(QDialog::Accepted));
        AboutBox closed;
        closed.show();
        QVERIFY(closed.close());
    }

    // The button rests for a second and a half, then goes down one pixel per tick until its bottom edge
    // is 15 pixels above the box's, and back up to where it started.
    void theButtonTurnsFifteenPixelsAboveTheBottomEdgeAndAgainAtItsStart() {
        // Box 200..329, button 230..254: moving down it turns at top 290.
        std::vector<int> expected;
        for (int top = 231; top <= 290; ++top) {
            expected.push_back(top);
        }
        for (int top = 289; top >= 230; --top) {
            expected.push_back(top);
        }
        expected.insert(expected.end(), {231, 232});
        QCOMPARE(Tops(kButton, 122), expected);
        // Already within the gap it moves one pixel, then turns.
        QCOMPARE(Tops(QRect(400, 300, 80, 25), 3), (std::vector<int>{301, 300, 301}));
        // When the box is dragged down, the turns follow it.
        const std::vector<int> moved = Tops(kButton, 200, 100);
        QCOMPARE(*std::max_element(moved.begin(), moved.end()), 390);
        QCOMPARE(*std::min_element(moved.begin() + 1, moved.end()), 330);
    }

    void theBoxBouncesItsOkButton() {
        AboutBox box;
        const auto* ok = box.findChild<QPushButton*>(QStringLiteral("ok"));
        const int start = ok->y();
        box.show();
        QTRY_VERIFY_WITH_TIMEOUT(ok->y() > start, 10000);
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::AboutBoxTest)
#include "AboutBoxTest.moc"
