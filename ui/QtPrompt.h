#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "text/Prompt.h"

namespace tessaly {

// The desktop's message boxes: a QMessageBox over the parent window (without one, over the active window,
// so that a box stays above the main window and centred on it), with "Tessaly" as the caption when
// none is given. Questions offer Yes and No, with the default button the caller asks for.
//
// Threads: the boxes are always shown on the user-interface thread. Called from another thread, a call
// hands the box over and blocks until the user has answered, so that thread must not be one the
// user-interface thread could be waiting for at that moment (the device worker while it is being stopped).
class QtPrompt : public Prompt {
  public:
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}

    void ShowMessage(const std::string& caption, const std::string& text, PromptIcon icon) override;
    bool AskYesNo(const std::string& caption, const std::string& text, PromptIcon icon,
                  PromptAnswer preset) override;
    using Prompt::AskYesNo;

  private:
    // Runs show on the user-interface thread and gives its result.
    bool OnUiThread(const std::function<bool()>& show) const;
    QWidget* Owner() const;

    QPointer<QWidget> parent_;
};

}  // namespace tessaly
