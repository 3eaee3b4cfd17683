#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "text/MessageFormat.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/AboutBox.h"
#include "ui/ButtonBounce.h"

using tessaly::AboutBox;

namespace {

// Records where a widget is moved to.
class MoveRecorder : public QObject {
  public:
    explicit MoveRecorder(QWidget* widget) { widget->installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Move) {
            tops.push_back(static_cast<QMoveEvent*>(event)->pos().y());
        }
        return false;
    }

    // True once the widget has gone down, up and down again.
    bool HasTurnedTwice() const {
        int turns = 0;
        for (std::size_t i = 2; i < tops.size(); ++i) {
            turns += (tops[i] - tops[i - 1]) != (tops[i - 1] - tops[i - 2]) ? 1 : 0;
        }
        return turns >= 2;
    }

    std::vector<int> tops;
};

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { tessaly::ProcessMessageTable().Free(); }

    void theVersionComesFromTheExecutablesOwnBlock() {
        AboutBox box;
        QCOMPARE(Version(box),
                 Expected(TESSALY_EXPECTED_MAJOR, TESSALY_EXPECTED_MINOR, TESSALY_EXPECTED_BUILD));
        QVERIFY(Notice(box).startsWith(QStringLiteral("Copyright")));
        QVERIFY(Notice(box).endsWith(QStringLiteral(", Halvorn")));
        QCOMPARE(box.windowTitle(), QStringLiteral("About Tessaly"));
    }

    void theMinorNumberIsReadAsANumber() {
        AboutBox box(nullptr, Write("205",
                                    "ProductVersion=2.05\nSpecialBuild=412\nLegalCopyRight=Copyright (C) "
                                    "2003\nCompanyName=Halvorn\n"));
        QCOMPARE(Version(box), QStringLiteral("Tessaly for  Win9x/NT/XP\nVersion 2.5 (Build 412)"));
        QCOMPARE(Notice(box), QStringLiteral("Copyright (C) 2003, Halvorn"));
    }

    void missingValuesShowAsZeroAndLeaveTheSeparator() {
        AboutBox box(nullptr, Write("sparse", "ProductVersion=beta\nLegalCopyRight=Copyright (C) 2003\n"));
        QCOMPARE(Version(box), Expected("0", "0", "0"));
        QCOMPARE(Notice(box), QStringLiteral("Copyright (C) 2003, "));

        AboutBox majorOnly(nullptr, Write("major", "ProductVersion=3\nSpecialBuild=7 beta\n"));
        QCOMPARE(Version(majorOnly), Expected("3", "0", "7"));
        QCOMPARE(Notice(majorOnly), QStringLiteral(", "));
    }

    void withoutAVersionBlockBothLabelsStayEmpty() {
        AboutBox box(nullptr, dir_.filePath(QStringLiteral("nothing-here")).toStdString());
        QVERIFY(Version(box).isEmpty());
        QVERIFY(Notice(box).isEmpty());
    }

    void aTranslatedVersionTextKeepsItsNumbers() {
        tessaly::ProcessMessageTable().Create();
        QVERIFY(tessaly::ProcessMessageTable().Store(tessaly::msg::kAboutVersion,
                                                     "Tessaly\nVersion %d.%d, Ausgabe %d"));
        AboutBox box(nullptr, Write("translated", "ProductVersion=1.4\nSpecialBuild=99\n"));
        QCOMPARE(Version(box), QStringLiteral("Tessaly\nVersion 1.4, Ausgabe 99"));
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
        QVERIFY(!closed.isVisible());
    }

    void theOkButtonBouncesBetweenItsTurnPoints() {
        AboutBox box;
        auto* ok = box.findChild<QPushButton*>(QStringLiteral("ok"));
        const int start = ok->y();
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        // Installed once the box is up, so that showing it is not taken for a move; the button rests
        // far longer than that takes.
        MoveRecorder recorder(ok);
        QCOMPARE(ok->y(), start);

        QTRY_VERIFY_WITH_TIMEOUT(recorder.HasTurnedTwice(), 30000);

        // Down one pixel per tick until the button's bottom edge is 15 pixels above the box's, then back up
        // to where it started; the steps themselves are ButtonBounceTest's.
        const int frameBottom = box.frameGeometry().bottom() - box.geometry().top();
        const int lowest = frameBottom - tessaly::ButtonBounce::kBottomGap - (ok->height() - 1);
        QCOMPARE(recorder.tops.front(), start + 1);
        QCOMPARE(*std::max_element(recorder.tops.begin(), recorder.tops.end()), lowest);
        QCOMPARE(*std::min_element(recorder.tops.begin(), recorder.tops.end()), start);
    }

  private:
    static QString Version(const AboutBox& box) {
        return box.findChild<QLabel*>(QStringLiteral("version"))->text();
    }
    static QString Notice(const AboutBox& box) {
        return box.findChild<QLabel*>(QStringLiteral("notice"))->text();
    }
    static QString Expected(const char* major, const char* minor, const char* build) {
        return QString::fromStdString(tessaly::FormatMessage(
            tessaly::GetMessageText(tessaly::msg::kAboutVersion), {major, minor, build}));
    }

    // A file holding a version block with these lines, built at run time so that this test's own file
    // holds no block but the one CMake embedded.
    std::filesystem::path Write(const QString& name, const std::string& lines) {
        const std::string path = dir_.filePath(name).toStdString();
        const std::string bytes =
            std::string(64, '\0') + std::string(tessaly::kVersionBlockMarker) + '\n' + lines;
        std::ofstream(path, std::ios::binary)
            .write(bytes.c_str(), static_cast<std::streamsize>(bytes.size() + 1));
        return path;
    }

    QTemporaryDir dir_;
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
