#include "ui/QtPrompt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include "ui/DisplayText.h"
#include "ui/UiThreadCall.h"

namespace tessaly {
namespace {

QMessageBox::Icon BoxIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Error:
            return QMessageBox::Critical;
        case PromptIcon::Question:
            return QMessageBox::Question;
        case PromptIcon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QString Caption(const std::string& caption) {
    return caption.empty() ? QStringLiteral("Tessaly") : ToDisplay(caption);
}

}  // namespace

void QtPrompt::ShowMessage(const std::string& caption, const std::string& text, PromptIcon icon) {
    OnUiThread([&] {
        QMessageBox box(BoxIcon(icon), Caption(caption), ToDisplay(text), QMessageBox::Ok, Owner());
        box.exec();
        return true;
    });
}

bool QtPrompt::AskYesNo(const std::string& caption, const std::string& text, PromptIcon icon,
                        PromptAnswer preset) {
    return OnUiThread([&] {
        QMessageBox box(BoxIcon(icon), Caption(caption), ToDisplay(text), QMessageBox::Yes | QMessageBox::No,
                        Owner());
        box.setDefaultButton(preset == PromptAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    });
}

QWidget* QtPrompt::Owner() const {
    return parent_ != nullptr ? parent_.data() : QApplication::activeWindow();
}

bool QtPrompt::OnUiThread(const std::function<bool()>& show) const {
    QCoreApplication* application = QCoreApplication::instance();
    if (QThread::currentThread() == application->thread()) {
        return show();
    }
    // Blocks this thread until the user-interface thread has run the box and returned; nothing stops the
    // wait.
    return CallOnUiThread(*application, std::stop_token(), show);
}

}  // namespace tessaly
