#include "ui/HexView.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "ui/DisplayText.h"

namespace tessaly {
namespace {

// Room left of the addresses and right of the ASCII column, in pixels.
constexpr int kMargin = 4;
constexpr int kMinimumAddressDigits = 4;

QString Hex(std::uint32_t value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QChar AsciiOf(std::uint8_t byte) {
    return byte >= 0x20 && byte < 0x7F ? QLatin1Char(static_cast<char>(byte)) : QLatin1Char('.');
}

int HexDigits(std::uint32_t value) {
    int digits = 1;
    while ((value >>= 4) != 0) {
        ++digits;
    }
    return digits;
}

}  // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Read-only and worked with the mouse: the keyboard stays with the item list.
    setFocusPolicy(Qt::NoFocus);
}

void HexView::ShowUnit(const Unit& unit) {
    if (unit.dataImage == nullptr) {
        Clear();
        return;
    }
    unit_ = &unit;
    start_ = unit.start;
    bytes_.assign(unit.dataImage, unit.dataImage + unit.ImageSize());
    // The unit's own items over the copy: the constants and derived fields go into the copy alone.
    Unit prepared = unit;
    prepared.dataImage = bytes_.data();
    prepared.PrepareDerivedFields();
    owners_.emplace(unit);
    programMask_ = owners_->ProgramMask();
    names_.clear();
    for (std::uint32_t item = 0; item < unit.itemCount; ++item) {
        const char* name = unit.GetItem(item)->name;
        names_.push_back(ToDisplay(name != nullptr ? name : ""));
    }
    setEnabled(true);
    UpdateScrollBars();
    updateGeometry();
    viewport()->update();
}

void HexView::ShowUnitInOperation(const Unit& unit) {
    if (&unit != unit_) {
        Clear();
    }
    setEnabled(false);
}

void HexView::Clear() {
    unit_ = nullptr;
    start_ = 0;
    bytes_.clear();
    programMask_.clear();
    owners_.reset();
    names_.clear();
    UpdateScrollBars();
    viewport()->update();
}

void HexView::SetSelectedItem(std::uint32_t item) {
    if (item == selected_) {
        return;
    }
    selected_ = item;
    viewport()->update();
    // The first byte of the item comes into view when no byte of it is on show.
    const int first = verticalScrollBar()->value();
    const int shown = std::max(1, viewport()->height() / fontMetrics().height());
    std::optional<int> firstLine;
    for (int line = 0; line < LineCount(); ++line) {
        for (int column = 0; column < kBytesPerLine; ++column) {
            const std::optional<std::uint32_t> offset = OffsetOf(line, column);
            if (!offset.has_value() || LookOf(*offset) != Look::Selected) {
                continue;
            }
            if (line >= first && line < first + shown) {
                return;
            }
            firstLine = firstLine.value_or(line);
        }
    }
    if (firstLine.has_value()) {
        verticalScrollBar()->setValue(*firstLine);
    }
}

int HexView::LineCount() const {
    const auto lead = static_cast<std::size_t>(start_ % kBytesPerLine);
    return bytes_.empty() ? 0 : static_cast<int>((lead + bytes_.size() + kBytesPerLine - 1) / kBytesPerLine);
}

QString HexView::LineText(int line) const {
    QString text(LineLength(), QLatin1Char(' '));
    const std::uint32_t address =
        start_ - start_ % kBytesPerLine + static_cast<std::uint32_t>(line) * kBytesPerLine;
    text.replace(0, AddressDigits(), Hex(address, AddressDigits()));
    for (int column = 0; column < kBytesPerLine; ++column) {
        if (const std::optional<std::uint32_t> offset = OffsetOf(line, column)) {
            text.replace(HexColumn(column), 2, Hex(bytes_[*offset], 2));
            text[AsciiColumn(column)] = AsciiOf(bytes_[*offset]);
        }
    }
    return text;
}

std::optional<std::uint32_t> HexView::ByteAt(QPoint point) const {
    const int x = point.x() + horizontalScrollBar()->value() - kMargin;
    if (x < 0 || point.y() < 0) {
        return std::nullopt;
    }
    const int character = x / fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int line = point.y() / fontMetrics().height() + verticalScrollBar()->value();
    int column = -1;
    if (character >= HexColumn(0) && character < HexColumn(kBytesPerLine)) {
        // A byte's two digits and the blank after them.
        column = (character - HexColumn(0)) / 3;
    } else if (character >= AsciiColumn(0) && character < AsciiColumn(kBytesPerLine)) {
        column = character - AsciiColumn(0);
    }
    return column >= 0 ? OffsetOf(line, column) : std::nullopt;
}

QRect HexView::HexRect(std::uint32_t offset) const {
    const std::uint32_t cell = start_ % kBytesPerLine + offset;
    return TextRect(static_cast<int>(cell / kBytesPerLine), HexColumn(static_cast<int>(cell % kBytesPerLine)),
                    2);
}

HexView::Look HexView::LookOf(std::uint32_t offset) const {
    if (owners_.has_value() && selected_ != kNoItem) {
        for (const ByteOwner& owner : owners_->At(offset)) {
            if (owner.item == selected_) {
                return Look::Selected;
            }
        }
    }
    return offset < programMask_.size() && programMask_[offset] != 0 ? Look::Programmed : Look::Greyed;
}

QString HexView::OwnersText(std::uint32_t offset) const {
    QStringList lines;
    if (owners_.has_value()) {
        for (const ByteOwner& owner : owners_->At(offset)) {
            const QString name = owner.item == kNoItem ? QStringLiteral("Fixed byte") : names_[owner.item];
            lines.append(QStringLiteral("%1 (mask 0x%2)").arg(name, Hex(owner.bits, 2)));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QSize HexView::sizeHint() const {
    const int text = LineLength() * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 2 * kMargin;
    return {text + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(),
            QAbstractScrollArea::sizeHint().height()};
}

void HexView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    painter.setFont(font());
    const int first = verticalScrollBar()->value();
    const int last = std::min(LineCount(), first + viewport()->height() / fontMetrics().height() + 1);
    for (int line = first; line < last; ++line) {
        PaintLine(painter, line);
    }
}

void HexView::PaintLine(QPainter& painter, int line) const {
    const QString text = LineText(line);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QColor normal = palette().color(group, QPalette::Text);
    const QColor greyed = palette().color(group, QPalette::PlaceholderText);
    painter.setPen(normal);
    painter.drawText(TextRect(line, 0, AddressDigits()), Qt::AlignLeft, text.left(AddressDigits()));
    const int halfCharacter = fontMetrics().horizontalAdvance(QLatin1Char('0')) / 2;
    for (int column = 0; column < kBytesPerLine; ++column) {
        const std::optional<std::uint32_t> offset = OffsetOf(line, column);
        if (!offset.has_value()) {
            continue;
        }
        const QRect hex = HexRect(*offset);
        const QRect ascii = TextRect(line, AsciiColumn(column), 1);
        const Look look = LookOf(*offset);
        if (look == Look::Selected) {
            // Half a blank either side, so that the bytes of one item join up.
            const QColor highlight = palette().color(group, QPalette::Highlight);
            painter.fillRect(hex.adjusted(-halfCharacter, 0, halfCharacter, 0), highlight);
            painter.fillRect(ascii, highlight);
            painter.setPen(palette().color(group, QPalette::HighlightedText));
        } else {
            painter.setPen(look == Look::Programmed ? normal : greyed);
        }
        painter.drawText(hex, Qt::AlignLeft, text.mid(HexColumn(column), 2));
        painter.drawText(ascii, Qt::AlignLeft, text.mid(AsciiColumn(column), 1));
    }
}

void HexView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (const std::optional<std::uint32_t> offset = ByteAt(event->position().toPoint())) {
        if (const std::uint32_t item = NextOwner(*offset); item != kNoItem) {
            emit ItemClicked(item);
        }
    }
}

void HexView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

bool HexView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QAbstractScrollArea::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::optional<std::uint32_t> offset = ByteAt(help->pos());
    const QString text = offset.has_value() ? OwnersText(*offset) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), text, viewport());
    }
    return true;
}

int HexView::AddressDigits() const {
    const std::uint32_t last =
        bytes_.empty() ? start_ : start_ + static_cast<std::uint32_t>(bytes_.size() - 1);
    // A unit whose addresses run past the last one goes on from 0; its widest address is then its first.
    return std::max(kMinimumAddressDigits, HexDigits(std::max(start_, last)));
}

std::optional<std::uint32_t> HexView::OffsetOf(int line, int column) const {
    const std::int64_t cell = std::int64_t{line} * kBytesPerLine + column - start_ % kBytesPerLine;
    if (line < 0 || column < 0 || column >= kBytesPerLine || cell < 0 ||
        cell >= static_cast<std::int64_t>(bytes_.size())) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(cell);
}

QRect HexView::TextRect(int line, int firstCharacter, int characters) const {
    const int width = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int height = fontMetrics().height();
    return {kMargin + firstCharacter * width - horizontalScrollBar()->value(),
            (line - verticalScrollBar()->value()) * height, characters * width, height};
}

std::uint32_t HexView::NextOwner(std::uint32_t offset) const {
    std::vector<std::uint32_t> items;
    if (owners_.has_value()) {
        for (const ByteOwner& owner : owners_->At(offset)) {
            if (owner.item != kNoItem) {
                items.push_back(owner.item);
            }
        }
    }
    if (items.empty()) {
        return kNoItem;
    }
    const auto selected = std::find(items.begin(), items.end(), selected_);
    return selected == items.end() || selected + 1 == items.end() ? items.front() : *(selected + 1);
}

void HexView::UpdateScrollBars() {
    const int lines = std::max(1, viewport()->height() / fontMetrics().height());
    verticalScrollBar()->setRange(0, std::max(0, LineCount() - lines));
    verticalScrollBar()->setPageStep(lines);
    const int width = LineLength() * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 2 * kMargin;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

}  // namespace tessaly
