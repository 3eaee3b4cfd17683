// The desktop's message boxes, answered by a timer that finds the open box, checks it and presses a button.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

#include "ui/QtPrompt.h"

namespace tessaly {

class QtPromptTest : public QObject {
    Q_OBJECT

  private:
    struct SeenBox {
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool defaultIsNo = false;
        bool defaultIsYes = false;
        bool hasNo = false;
        bool onUiThread = false;
        QWidget* owner = nullptr;
    };

    // Polls for the box and presses button on it once it is there.
    static void AnswerWhenShown(SeenBox& seen, QMessageBox::StandardButton button) {
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [timer, &seen, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            seen.caption = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            seen.hasNo = box->button(QMessageBox::No) != nullptr;
            seen.defaultIsNo = seen.hasNo && box->defaultButton() == box->button(QMessageBox::No);
            seen.defaultIsYes = seen.hasNo && box->defaultButton() == box->button(QMessageBox::Yes);
            seen.onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
            seen.owner = box->parentWidget();
            box->button(button)->click();
            timer->deleteLater();
        });
        timer->start(10);
    }

  private slots:
    // A question about the user's data has Yes as its default.
    void anEmptyCaptionReadsTessalyAndTheDataQuestionDefaultsToYes() {
        QtPrompt prompt;
        SeenBox seen;
        AnswerWhenShown(seen, QMessageBox::Yes);
        QVERIFY(prompt.AskYesNo("Load the data?"));
        QCOMPARE(seen.caption, QStringLiteral("Tessaly"));
        QCOMPARE(seen.text, QStringLiteral("Load the data?"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QVERIFY(seen.defaultIsYes);
    }

    void noAnswersFalseAndNoCanBeTheDefault() {
        QtPrompt prompt;
        SeenBox seen;
        AnswerWhenShown(seen, QMessageBox::No);
        QVERIFY(!prompt.AskYesNo("Device", "Retry?", PromptIcon::Information, PromptAnswer::No));
        QCOMPARE(seen.caption, QStringLiteral("Device"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QVERIFY(seen.defaultIsNo);
    }

    void errorsShowAnOkBoxOwnedByTheActiveWindow() {
        QWidget window;
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QtPrompt prompt;
        SeenBox seen;
        AnswerWhenShown(seen, QMessageBox::Ok);
        prompt.ShowError("Script error in file");
        QCOMPARE(seen.caption, QStringLiteral("Tessaly"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY(!seen.hasNo);
        QCOMPARE(seen.owner, &window);
    }

    void textsThatAreNotUtf8ShowAsWindows1252() {
        QtPrompt prompt;
        SeenBox seen;
        AnswerWhenShown(seen, QMessageBox::Ok);
        prompt.ShowMessage("", "Caf\xE9", PromptIcon::Information);
        QCOMPARE(seen.text, QStringLiteral("Caf\u00E9"));
    }

    void anotherThreadsQuestionIsShownOnTheUiThread() {
        QtPrompt prompt;
        SeenBox seen;
        AnswerWhenShown(seen, QMessageBox::Yes);
        std::atomic<bool> done = false;
        bool answer = false;
        std::thread asker([&] {
            answer = prompt.AskYesNo("From the worker?");
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 10000);
        asker.join();
        QVERIFY(answer);
        QVERIFY(seen.onUiThread);
        QCOMPARE(seen.text, QStringLiteral("From the worker?"));
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::QtPromptTest)
#include "QtPromptTest.moc"
