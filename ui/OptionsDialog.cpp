#include "ui/OptionsDialog.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DialogUnits.h"
#include "ui/DisplayText.h"
#include "ui/GeneralPage.h"
#include "ui/HardwarePage.h"

namespace tessaly {
namespace {

constexpr int kWidthUnits = 321;
constexpr int kHeightUnits = 178;

}  // namespace

OptionsDialog::OptionsDialog(const AppSettings& settings, Prompt& prompt, const std::string& pluginDirectory,
                             QWidget* parent)
    : QDialog(parent), settings_(settings), prompt_(prompt), tabs_(new QTabWidget(this)) {
    setWindowTitle(ToDisplay(GetMessageText(msg::kOptionsCaption)));
    tabs_->setObjectName(QStringLiteral("tabs"));
    pages_ = {new GeneralPage(settings_, tabs_),
              new HardwarePage(settings_, prompt_, pluginDirectory, tabs_)};
    tabs_->addTab(pages_[0], ToDisplay(GetMessageText(msg::kPageGeneral)));
    tabs_->addTab(pages_[1], ToDisplay(GetMessageText(msg::kPageHardware)));
    tabs_->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &OptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OptionsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    // The dialog's size in dialog units, unless the desktop's fonts and spacing need more room.
    resize(DialogUnits(*this).Size(kWidthUnits, kHeightUnits).expandedTo(minimumSizeHint()));
}

void OptionsDialog::accept() {
    for (int index = 0; index < static_cast<int>(pages_.size()); ++index) {
        OptionsPage& page = *pages_[static_cast<std::size_t>(index)];
        if (!page.ApplyChanges()) {
            tabs_->setCurrentIndex(index);
            prompt_.ShowMessage(GetMessageText(msg::kInvalidParameter), page.ErrorText(), PromptIcon::Error);
            return;
        }
    }
    QDialog::accept();
}

}  // namespace tessaly
