#include "ui/OptionsPage.h"

#include <QLineEdit>

#include "settings/ParseInt.h"
#include "text/MessageTable.h"
#include "ui/DisplayText.h"

namespace tessaly {

OptionsPage::OptionsPage(AppSettings& settings, QWidget* parent) : QWidget(parent), settings_(settings) {}

bool OptionsPage::Reject(std::uint16_t message) {
    errorText_ = GetMessageText(message);
    return false;
}

bool OptionsPage::ReadNumber(const QLineEdit& edit, std::int32_t& value) {
    return ParseInt(FromDisplay(edit.text()), value);
}

}  // namespace tessaly
