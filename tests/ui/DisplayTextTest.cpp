// Texts of templates and files on screen: UTF-8 when they are, Windows-1252 otherwise.

#include <QTest>

#include "ui/DisplayText.h"

using tessaly::FromDisplay;
using tessaly::ToDisplay;

class DisplayTextTest : public QObject {
    Q_OBJECT

  private slots:
    // What is typed goes back as UTF-8.
    void bytesAreReadAsUtf8OrElseAsWindows1252() {
        const QString grosse = QString::fromUtf8(
            "Gr\xC3\xB6\xC3\x9F"
            "e");
        QCOMPARE(ToDisplay("Gr\xC3\xB6\xC3\x9F"
                           "e"),
                 grosse);
        QCOMPARE(ToDisplay("Gr\xF6\xDF"
                           "e \x80"),
                 grosse + QString::fromUtf8(" \xE2\x82\xAC"));
        QCOMPARE(FromDisplay(QString::fromUtf8("\xE2\x82\xAC 5")), std::string("\xE2\x82\xAC 5"));
        QCOMPARE(FromDisplay(ToDisplay("plain")), std::string("plain"));
    }
};

QTEST_MAIN(DisplayTextTest)
#include "DisplayTextTest.moc"
