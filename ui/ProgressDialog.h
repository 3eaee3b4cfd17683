#pragma once

#include <cstdint>
#include <string>

#include "engine/ParseProgress.h"
#include "ui/NoEscapeDialog.h"

class QLabel;
class QProgressBar;

namespace tessaly {

// The modeless box a template load shows while the parser runs: the template's path above a progress bar
// over the file's bytes. It has no caption and no cancel; Escape does nothing. Begin shows it, End hides
// it, so one box serves every load.
//
// Each call repaints the box at once: the load runs on the user-interface thread, so the box is painted
// from within the call, with only non-input events handled, so that no command can start a second load
// meanwhile.
class ProgressDialog : public NoEscapeDialog, public ParseProgress {
    Q_OBJECT

  public:
    explicit ProgressDialog(QWidget* parent = nullptr);

    void Begin(const std::string& path, std::uint32_t range) override;
    void SetPosition(std::uint32_t position) override;
    void End() override;

  private:
    static void Repaint();

    QLabel* path_;
    QProgressBar* bar_;
};

}  // namespace tessaly
