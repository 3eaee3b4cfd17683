// The Language menu over the language files of a working directory of the test's own.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"
#include "text/LanguageList.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/CommandId.h"
#include "ui/LanguageMenu.h"

namespace tessaly {
namespace {

class LanguageMenuTest : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    AppSettings settings;

    // The menu's entries, the checked one in brackets.
    static QStringList Labels(const LanguageMenu& menu) {
        QStringList labels;
        for (const QAction* item : menu.actions()) {
            labels.push_back(item->isChecked() ? "[" + item->text() + "]" : item->text());
        }
        return labels;
    }

    static QString NoPlugin() { return QString::fromLatin1(GetMessageText(msg::kStateNoPlugin)); }

  private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY(QDir::setCurrent(work.path()));
        test::WriteBytes("deutsch.lng", "[Language]\nLanguage=Deutsch, Deutsch\nMsg[2-8]=Kein Plug-in\n");
        test::WriteBytes("english.lng", "[Language]\nLanguage=English, British\nMsg[2-8]=No plug-in\n");
        test::WriteBytes("nonames.lng", "[Language]\nMsg[2-8]=Nothing\n");
        test::WriteBytes("rock.lng", "[Language]\nLanguage=Rock, Rock & Roll\nMsg[2-8]=Unplugged\n");
        LoadLanguageList({work.path().toStdString()});
    }

    void init() {
        SetLanguage("English");
        settings = {};
        settings.language.Set("English");
    }

    // Only languages that can be chosen are listed, in list order; each entry's command is its place.
    void choosingALanguageSwitchesTheTextsAtOnceAndStoresItsName() {
        LanguageMenu menu(settings);
        int switched = 0;
        connect(&menu, &LanguageMenu::LanguageSwitched, this, [&switched] { ++switched; });
        menu.Item(command::kFirstLanguage + 1)->trigger();
        QCOMPARE(NoPlugin(), QStringLiteral("Kein Plug-in"));
        QCOMPARE(settings.language.View(), std::string_view("Deutsch"));
        QCOMPARE(Labels(menu), (QStringList{"English", "[Deutsch]", "Rock && Roll"}));
        menu.Item(command::kFirstLanguage + 2)->trigger();
        QCOMPARE(NoPlugin(), QStringLiteral("Unplugged"));
        menu.Item(command::kFirstLanguage)->trigger();
        QCOMPARE(NoPlugin(), QStringLiteral("No plugin"));
        QCOMPARE(settings.language.View(), std::string_view("English"));
        QCOMPARE(switched, 3);
    }

    // An unknown language checks the English in force and stays in the settings.
    void theLanguageOfTheSettingsIsChecked() {
        settings.language.Set("Rock");
        QCOMPARE(Labels(LanguageMenu(settings)).last(), QStringLiteral("[Rock && Roll]"));
        settings.language.Set("Klingon");
        QCOMPARE(Labels(LanguageMenu(settings)).first(), QStringLiteral("[English]"));
        QCOMPARE(settings.language.View(), std::string_view("Klingon"));
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::LanguageMenuTest)
#include "LanguageMenuTest.moc"
