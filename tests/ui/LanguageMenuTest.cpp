// The Language menu over the language files of a working directory of the test's own.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "text/LanguageList.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/CommandId.h"
#include "ui/LanguageMenu.h"

namespace tessaly {
namespace {

void WriteFile(const QString& path, const char* text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

class LanguageMenuTest : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    AppSettings settings;

    QStringList Labels(const LanguageMenu& menu) const {
        QStringList labels;
        for (const QAction* item : menu.actions()) {
            labels.push_back(item->text());
        }
        return labels;
    }

    QAction* Checked(const LanguageMenu& menu) const {
        for (QAction* item : menu.actions()) {
            if (item->isChecked()) {
                return item;
            }
        }
        return nullptr;
    }

  private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        WriteFile(work.filePath("deutsch.lng"),
                  "[Language]\nLanguage=Deutsch, Deutsch\nMsg[2-8]=Kein Plug-in\n");
        WriteFile(work.filePath("english.lng"),
                  "[Language]\nLanguage=English, British\nMsg[2-8]=No plug-in\n");
        WriteFile(work.filePath("nonames.lng"), "[Language]\nMsg[2-8]=Nothing\n");
        WriteFile(work.filePath("rock.lng"), "[Language]\nLanguage=Rock, Rock & Roll\nMsg[2-8]=Unplugged\n");
        QVERIFY(QDir::setCurrent(work.path()));
        LoadLanguageList({work.path().toStdString()});
    }

    void init() {
        SetLanguage("English");
        settings = {};
        settings.language.Set("English");
    }

    void onlyLanguagesThatCanBeChosenAreListedInListOrder() {
        LanguageMenu menu(settings);
        QCOMPARE(Labels(menu), (QStringList{"English", "Deutsch", "Rock && Roll"}));
        QCOMPARE(menu.actions()[0]->data().toInt(), command::kFirstLanguage);
        QCOMPARE(menu.actions()[2]->data().toInt(), command::kFirstLanguage + 2);
        QCOMPARE(Checked(menu), menu.actions()[0]);
    }

    void choosingALanguageSwitchesTheTextsAtOnceAndStoresItsName() {
        LanguageMenu menu(settings);
        int switched = 0;
        connect(&menu, &LanguageMenu::LanguageSwitched, this, [&switched] { ++switched; });
        menu.Item(command::kFirstLanguage + 1)->trigger();
        QCOMPARE(QString::fromLatin1(GetMessageText(msg::kStateNoPlugin)), QStringLiteral("Kein Plug-in"));
        QCOMPARE(settings.language.View(), std::string_view("Deutsch"));
        QCOMPARE(Checked(menu), menu.Item(command::kFirstLanguage + 1));
        QCOMPARE(switched, 1);

        menu.Item(command::kFirstLanguage + 2)->trigger();
        QCOMPARE(QString::fromLatin1(GetMessageText(msg::kStateNoPlugin)), QStringLiteral("Unplugged"));
        QCOMPARE(settings.language.View(), std::string_view("Rock"));

        menu.Item(command::kFirstLanguage)->trigger();
        QCOMPARE(QString::fromLatin1(GetMessageText(msg::kStateNoPlugin)), QStringLiteral("No plugin"));
        QCOMPARE(settings.language.View(), std::string_view("English"));
        QCOMPARE(switched, 3);
    }

    void theLanguageOfTheSettingsIsChecked() {
        settings.language.Set("Rock");
        LanguageMenu menu(settings);
        QCOMPARE(Checked(menu), menu.Item(command::kFirstLanguage + 2));
    }

    void anUnknownLanguageInTheSettingsChecksTheEnglishInForce() {
        settings.language.Set("Klingon");
        LanguageMenu menu(settings);
        QCOMPARE(Checked(menu), menu.Item(command::kFirstLanguage));
        QCOMPARE(settings.language.View(), std::string_view("Klingon"));
    }
};

}  // namespace
}  // namespace tessaly

QTEST_MAIN(tessaly::LanguageMenuTest)
#include "LanguageMenuTest.moc"
