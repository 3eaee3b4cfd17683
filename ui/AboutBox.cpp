#include "ui/AboutBox.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

#include "settings/ParseInt.h"
#include "text/MessageFormat.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DialogUnits.h"
#include "ui/DisplayText.h"

namespace tessaly {
namespace {

using ValueBuffer = std::array<char, 64>;

// Where the number that ParseInt reads at the start of text ends.
std::size_t NumberEnd(std::string_view text) {
    std::size_t at = text.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string_view::npos) {
        return text.size();
    }
    if (text[at] == '+' || text[at] == '-') {
        ++at;
    }
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
        ++at;
    }
    return at;
}

// "major.minor" read as two decimal numbers, so 2.05 is version 2.5. A number that cannot be read
// stays 0.
void ReadProductVersion(std::string_view text, std::int32_t& major, std::int32_t& minor) {
    if (!ParseInt(text, major)) {
        return;
    }
    const std::size_t point = NumberEnd(text);
    if (point < text.size() && text[point] == '.') {
        ParseInt(text.substr(point + 1), minor);
    }
}

}  // namespace

AboutBox::AboutBox(QWidget* parent, const std::filesystem::path& executable)
    : NoEscapeDialog(parent),
      version_(new QLabel(this)),
      notice_(new QLabel(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(QStringLiteral("About Tessaly"));
    const DialogUnits units(*this);
    setFixedSize(units.Size(280, 61));

    auto* icon = new QLabel(this);
    icon->setGeometry(units.Rect(11, 17, 20, 20));
    icon->setPixmap(QGuiApplication::windowIcon().pixmap(icon->size()));
    version_->setObjectName(QStringLiteral("version"));
    version_->setGeometry(units.Rect(40, 10, 175, 16));
    notice_->setObjectName(QStringLiteral("notice"));
    notice_->setGeometry(units.Rect(40, 36, 175, 8));
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setGeometry(units.Rect(223, 7, 50, 14));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    ShowVersion(executable);

    timer_.setInterval(static_cast<int>(ButtonBounce::kTickMs));
    connect(&timer_, &QTimer::timeout, this, &AboutBox::MoveButton);
    timer_.start();
}

void AboutBox::ShowVersion(const std::filesystem::path& executable) {
    VersionInfo info;
    if (!info.Attach(executable)) {
        return;
    }
    ValueBuffer value{};
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t build = 0;
    if (info.GetStringByIndex(kProductVersion, value)) {
        ReadProductVersion(value.data(), major, minor);
    }
    if (info.GetString("SpecialBuild", value)) {
        ParseInt(value.data(), build);
    }
    version_->setText(
        ToDisplay(FormatMessage(GetMessageText(msg::kAboutVersion),
                                {std::to_string(major), std::to_string(minor), std::to_string(build)})));

    // A value that cannot be read leaves its buffer empty; the separator is shown all the same.
    ValueBuffer copyright{};
    ValueBuffer company{};
    info.GetStringByIndex(kLegalCopyRight, copyright);
    info.GetStringByIndex(kCompanyName, company);
    notice_->setText(ToDisplay(std::string(copyright.data()) + ", " + company.data()));
}

void AboutBox::MoveButton() {
    const QRect button(ok_->mapToGlobal(QPoint(0, 0)), ok_->size());
    if (const std::optional<QRect> moved = bounce_.Tick(frameGeometry(), button)) {
        ok_->move(mapFromGlobal(moved->topLeft()));
    }
}

}  // namespace tessaly
