// The desktop's message boxes, answered by a timer that finds the open box, notes it and presses a button.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include "ui/QtPrompt.h"

namespace tessaly {

class QtPromptTest : public QObject {
    Q_OBJECT

  private:
    // The box once it is shown, as "caption | text | icon | default button", and the window it belongs to.
    QString seen;
    QWidget* owner = nullptr;

    void AnswerWhenShown(QMessageBox::StandardButton button) {
        seen.clear();
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            const QString preset = box->button(QMessageBox::No) == nullptr                 ? "Ok"
                                   : box->defaultButton() == box->button(QMessageBox::Yes) ? "Yes"
                                                                                           : "No";
            seen = QStringLiteral("%1 | %2 | %3 | %4")
                       .arg(box->windowTitle(), box->text())
                       .arg(box->icon())
                       .arg(preset);
            owner = box->parentWidget();
            box->button(button)->click();
            timer->deleteLater();
        });
        timer->start(10);
    }

  private slots:
    // A question about the user's data has Yes as its default; No can be the default too.
    void aQuestionAnswersTrueForYesOnly() {
        QtPrompt prompt;
        AnswerWhenShown(QMessageBox::Yes);
        QVERIFY(prompt.AskYesNo("Load the data?"));
        QCOMPARE(seen, QStringLiteral("Tessaly | Load the data? | %1 | Yes").arg(QMessageBox::Question));
        AnswerWhenShown(QMessageBox::No);
        QVERIFY(!prompt.AskYesNo("Device", "Retry?", PromptIcon::Information, PromptAnswer::No));
        QCOMPARE(seen, QStringLiteral("Device | Retry? | %1 | No").arg(QMessageBox::Information));
    }

    // Texts that are not UTF-8 show as Windows-1252.
    void errorsShowAnOkBoxOwnedByTheActiveWindow() {
        QWidget window;
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QtPrompt prompt;
        AnswerWhenShown(QMessageBox::Ok);
        prompt.ShowError("Caf\xE9");
        QCOMPARE(seen, QStringLiteral("Tessaly | Caf\u00E9 | %1 | Ok").arg(QMessageBox::Critical));
        QCOMPARE(owner, &window);
    }

    void anotherThreadsQuestionIsShownOnTheUiThread() {
        QtPrompt prompt;
        AnswerWhenShown(QMessageBox::Yes);
        std::atomic<bool> done = false;
        bool answer = false;
        std::thread asker([&] {
            answer = prompt.AskYesNo("From the worker?");
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 10000);
        asker.join();
        QVERIFY(answer);
        QVERIFY(seen.contains(QStringLiteral("From the worker?")));
    }
};

}  // namespace tessaly

QTEST_MAIN(tessaly::QtPromptTest)
#include "QtPromptTest.moc"
