#include "ui/ItemViewSplitter.h"

#include <QApplication>
#include <QList>
#include <algorithm>

namespace tessaly {
namespace {

// The widget that holds a closed row or column's place, so that its bar can be dragged open.
QWidget* NewPlaceholder() {
    auto* placeholder = new QWidget;
    placeholder->setMinimumSize(0, 0);
    return placeholder;
}

// Two panes: the first gets all the room when the second is closed, else each gets half.
QList<int> Shares(bool second) {
    return second ? QList<int>{1, 1} : QList<int>{1, 0};
}

// How many panes a splitter of two shows after a drag; a first pane dragged shut gives its room to the
// second, which then counts as the first.
int OpenCount(QSplitter& splitter) {
    const QList<int> sizes = splitter.sizes();
    if (sizes.value(0) == 0 && sizes.value(1) > 0) {
        splitter.setSizes({sizes.value(1), 0});
        return 1;
    }
    return sizes.value(1) > 0 ? 2 : 1;
}

}  // namespace

ItemViewSplitter::ItemViewSplitter(ViewFactory factory, QWidget* parent)
    : QSplitter(Qt::Vertical, parent), factory_(std::move(factory)) {
    for (int row = 0; row < kMaxRows; ++row) {
        auto* rowSplitter = new QSplitter(Qt::Horizontal, this);
        rowSplitters_[static_cast<std::size_t>(row)] = rowSplitter;
        for (int column = 0; column < kMaxColumns; ++column) {
            Slot(row, column) = NewPlaceholder();
            rowSplitter->addWidget(Slot(row, column));
        }
        connect(rowSplitter, &QSplitter::splitterMoved, this, [this, rowSplitter] {
            ShareColumns(*rowSplitter);
            FollowDrag();
        });
    }
    connect(this, &QSplitter::splitterMoved, this, &ItemViewSplitter::FollowDrag);
    focusTracking_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { TrackFocus(now); });
    Split(1, 1);
}

ItemViewSplitter::~ItemViewSplitter() {
    disconnect(focusTracking_);
}

std::vector<QWidget*> ItemViewSplitter::Panes() const {
    std::vector<QWidget*> panes;
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            panes.push_back(Slot(row, column));
        }
    }
    return panes;
}

QWidget* ItemViewSplitter::ActivePane() const {
    const std::vector<QWidget*> panes = Panes();
    if (active_ != nullptr && std::find(panes.begin(), panes.end(), active_.data()) != panes.end()) {
        return active_;
    }
    return Slot(0, 0);
}

void ItemViewSplitter::Split(int rows, int columns) {
    rows = std::clamp(rows, 1, kMaxRows);
    columns = std::clamp(columns, 1, kMaxColumns);
    Apply(rows, columns);
    setSizes(Shares(rows == kMaxRows));
    for (QSplitter* rowSplitter : rowSplitters_) {
        rowSplitter->setSizes(Shares(columns == kMaxColumns));
    }
}

void ItemViewSplitter::ActivatePreviousPane() {
    const std::vector<QWidget*> panes = Panes();
    const auto active = std::find(panes.begin(), panes.end(), ActivePane());
    const auto index = static_cast<std::size_t>(active - panes.begin());
    QWidget* previous = panes[(index + panes.size() - 1) % panes.size()];
    active_ = previous;
    previous->setFocus(Qt::OtherFocusReason);
}

void ItemViewSplitter::Apply(int rows, int columns) {
    for (int row = 0; row < kMaxRows; ++row) {
        for (int column = 0; column < kMaxColumns; ++column) {
            FillSlot(row, column, row < rows && column < columns);
        }
    }
    rows_ = rows;
    columns_ = columns;
}

void ItemViewSplitter::FillSlot(int row, int column, bool withView) {
    const bool hasView = row < rows_ && column < columns_;
    if (withView == hasView) {
        return;
    }
    QWidget* replacement = withView ? factory_() : NewPlaceholder();
    if (withView) {
        replacement->setMinimumSize(kMinimumPane, kMinimumPane);
    }
    QWidget* old = rowSplitters_[static_cast<std::size_t>(row)]->replaceWidget(column, replacement);
    Slot(row, column) = replacement;
    // Later, not now: the pane may be the one whose drag or focus change is being handled. Until then it
    // stays a hidden child, so that it goes with the splitter if no event loop runs to delete it.
    old->hide();
    old->setParent(this);
    old->deleteLater();
}

void ItemViewSplitter::FollowDrag() {
    // The rows share their column widths already, so the first row speaks for both.
    const int rows = OpenCount(*this);
    const int columns = OpenCount(*rowSplitters_[0]);
    if (rows != rows_ || columns != columns_) {
        Apply(rows, columns);
        ShareColumns(*rowSplitters_[0]);
    }
}

void ItemViewSplitter::ShareColumns(const QSplitter& from) {
    if (sharing_) {
        return;
    }
    sharing_ = true;
    for (QSplitter* rowSplitter : rowSplitters_) {
        if (rowSplitter != &from) {
            rowSplitter->setSizes(from.sizes());
        }
    }
    sharing_ = false;
}

void ItemViewSplitter::TrackFocus(QWidget* now) {
    for (QWidget* pane : Panes()) {
        if (now != nullptr && (pane == now || pane->isAncestorOf(now))) {
            active_ = pane;
            return;
        }
    }
}

}  // namespace tessaly
