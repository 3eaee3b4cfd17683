#include <QTest>

#include "ui/DisplayText.h"

class DisplayTextTest : public QObject {
    Q_OBJECT

  private slots:
    void validUtf8IsReadAsUtf8() {
        QCOMPARE(tessaly::ToDisplay("Gr\xC3\xB6\xC3\x9F"
                                    "e"),
                 QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                                   "e"));
    }
    void otherBytesAreReadAsWindows1252() {
        QCOMPARE(tessaly::ToDisplay("Gr\xF6\xDF"
                                    "e \x80"),
                 QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                                   "e \xE2\x82\xAC"));
    }
    void typedTextGoesBackAsUtf8() {
        QCOMPARE(tessaly::FromDisplay(QString::fromUtf8("\xE2\x82\xAC 5")), std::string("\xE2\x82\xAC 5"));
        QCOMPARE(tessaly::FromDisplay(tessaly::ToDisplay("plain")), std::string("plain"));
    }
};

QTEST_MAIN(DisplayTextTest)
#include "DisplayTextTest.moc"
