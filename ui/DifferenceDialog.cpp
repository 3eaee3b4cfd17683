#include "ui/DifferenceDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/DisplayText.h"

namespace tessaly {
namespace {

constexpr int kIconSize = 32;

QTableWidget* CreateTable(const std::vector<ItemDifference>& differences, QWidget* parent) {
    auto* table = new QTableWidget(static_cast<int>(differences.size()), 3, parent);
    table->setObjectName(QStringLiteral("differences"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Item"), QStringLiteral("Chip"), QStringLiteral("Template")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int row = 0; row < table->rowCount(); ++row) {
        const ItemDifference& difference = differences[static_cast<std::size_t>(row)];
        int column = 0;
        for (const std::string* text : {&difference.name, &difference.chip, &difference.expected}) {
            table->setItem(row, column++, new QTableWidgetItem(ToDisplay(*text)));
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

}  // namespace

DifferenceDialog::DifferenceDialog(const std::string& text, const std::vector<ItemDifference>& differences,
                                   QWidget* parent)
    : QDialog(parent), table_(CreateTable(differences, this)) {
    setWindowTitle(QStringLiteral("Tessaly"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(kIconSize, kIconSize));
    auto* message = new QLabel(ToDisplay(text), this);
    message->setObjectName(QStringLiteral("message"));
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(message, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copy"));
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(TableText()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(520, 320);
}

QString DifferenceDialog::TableText() const {
    QString text;
    for (int row = 0; row < table_->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table_->columnCount(); ++column) {
            cells.append(table_->item(row, column)->text());
        }
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

}  // namespace tessaly
