#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "engine/ItemDifference.h"

class QTableWidget;

namespace tessaly {

// What Verify found: the difference text with the stop icon, under it a table of every item that differs
// (Item, Chip, Template), a Copy button that puts the table on the clipboard, one tab-separated line per
// row, and OK.
class DifferenceDialog : public QDialog {
    Q_OBJECT

  public:
    DifferenceDialog(const std::string& text, const std::vector<ItemDifference>& differences,
                     QWidget* parent = nullptr);

    QTableWidget& Table() const { return *table_; }
    // The table as Copy puts it on the clipboard.
    QString TableText() const;

  private:
    QTableWidget* table_;
};

}  // namespace tessaly
