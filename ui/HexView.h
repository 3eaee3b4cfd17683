#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/ByteOwners.h"
#include "engine/Unit.h"

namespace tessaly {

// The bytes of a unit beside the item list, read-only, as Program would write them (the data image with
// its constants and derived fields prepared, as the command line's dump prints it): 16 a line, each line
// led by the device address of its first column (lines start at multiples of 16, so a unit that starts
// elsewhere leaves the first columns blank), then the bytes in hex and as ASCII. Bytes with bits under the
// program mask are drawn in the text colour, the others greyed; the bytes of the selected item are
// highlighted. A byte's tooltip names its owners, each with its bits of the byte; a click on a byte reports
// its owner.
//
// The view paints a copy of the unit taken by ShowUnit, never the unit itself, so the device worker may
// write into the unit's image meanwhile.
class HexView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    static constexpr int kBytesPerLine = 16;

    // How a byte is drawn.
    enum class Look { Programmed, Greyed, Selected };

    explicit HexView(QWidget* parent = nullptr);

    // Takes a copy of the unit's data image with the derived fields prepared, of the owners of its bytes
    // and of their names, and shows it.
    void ShowUnit(const Unit& unit);
    // The device worker may be writing the unit's image: a copy of this unit is shown on, greyed; a copy
    // of another unit goes.
    void ShowUnitInOperation(const Unit& unit);
    // Shows nothing.
    void Clear();

    // Highlights the bytes an item owns; kNoItem for none.
    void SetSelectedItem(std::uint32_t item);

    int LineCount() const;
    // A line as it reads: the address, the 16 columns in hex and the 16 as ASCII ('.' for a byte that is
    // not printable, blanks for columns outside the unit).
    QString LineText(int line) const;
    // The position in the image of the byte drawn at a point of the viewport, in hex or ASCII; none when
    // no byte is there.
    std::optional<std::uint32_t> ByteAt(QPoint point) const;
    // Where a byte's hex digits are drawn in the viewport.
    QRect HexRect(std::uint32_t offset) const;
    // Selected for a byte of the selected item, else Programmed when any of its bits is under the program
    // mask, else Greyed.
    Look LookOf(std::uint32_t offset) const;
    // The owners of a byte, one a line with their bits of it: "Name (mask 0x0F)"; empty when no item owns it.
    QString OwnersText(std::uint32_t offset) const;

    QSize sizeHint() const override;

  signals:
    // A byte was clicked. When several items own it, the one after the selected item, so that clicks go
    // round them; the fixed byte reports nothing.
    void ItemClicked(std::uint32_t item);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    int AddressDigits() const;
    int HexColumn(int column) const { return AddressDigits() + 2 + 3 * column; }
    int AsciiColumn(int column) const { return HexColumn(kBytesPerLine) + 1 + column; }
    int LineLength() const { return AsciiColumn(kBytesPerLine); }
    // The image position of a column of a line; none outside the image.
    std::optional<std::uint32_t> OffsetOf(int line, int column) const;
    QRect TextRect(int line, int firstCharacter, int characters) const;
    std::uint32_t NextOwner(std::uint32_t offset) const;
    void PaintLine(QPainter& painter, int line) const;
    void UpdateScrollBars();

    // The unit the copy was taken of: compared, never read, as the worker may be writing it.
    const Unit* unit_ = nullptr;
    std::uint32_t start_ = 0;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint8_t> programMask_;
    std::optional<ByteOwners> owners_;
    std::vector<QString> names_;
    std::uint32_t selected_ = kNoItem;
};

}  // namespace tessaly
