#pragma once

#include <QPointer>
#include <QSplitter>
#include <array>
#include <functional>
#include <vector>

namespace tessaly {

// The main frame's client area: a dynamic splitter of at most two rows and two columns of panes, all
// item views of the one document. It starts with one pane. Dragging the bar at the right or bottom edge
// opens a second column or row, whose panes the factory makes; dragging a bar until a pane is smaller than
// kMinimumPane closes that row or column again, and its views are destroyed. Both rows share the column
// widths.
//
// The active pane is the one that last held the keyboard focus, the first pane when none has.
class ItemViewSplitter : public QSplitter {
    Q_OBJECT

  public:
    using ViewFactory = std::function<QWidget*()>;

    static constexpr int kMaxRows = 2;
    static constexpr int kMaxColumns = 2;
    static constexpr int kMinimumPane = 10;

    explicit ItemViewSplitter(ViewFactory factory, QWidget* parent = nullptr);
    // Stops following the focus first: the panes' destruction moves it.
    ~ItemViewSplitter() override;

    int RowCount() const { return rows_; }
    int ColumnCount() const { return columns_; }
    // The panes row by row.
    std::vector<QWidget*> Panes() const;
    QWidget* ActivePane() const;

    // Opens or closes rows and columns so that rows x columns panes show (each 1 or 2), sharing the room
    // equally when a row or column is opened.
    void Split(int rows, int columns);
    // Gives the keyboard focus to the pane before the active one, the last after the first.
    void ActivatePreviousPane();

  private:
    QWidget*& Slot(int row, int column) {
        return slots_[static_cast<std::size_t>(row * kMaxColumns + column)];
    }
    QWidget* Slot(int row, int column) const {
        return slots_[static_cast<std::size_t>(row * kMaxColumns + column)];
    }
    void Apply(int rows, int columns);
    void FillSlot(int row, int column, bool withView);
    void FollowDrag();
    void ShareColumns(const QSplitter& from);
    void TrackFocus(QWidget* now);

    ViewFactory factory_;
    std::array<QSplitter*, kMaxRows> rowSplitters_{};
    std::array<QWidget*, kMaxRows * kMaxColumns> slots_{};
    int rows_ = 0;
    int columns_ = 0;
    QPointer<QWidget> active_;
    QMetaObject::Connection focusTracking_;
    bool sharing_ = false;
};

}  // namespace tessaly
