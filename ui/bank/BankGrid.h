#pragma once
// The bank pane's list of 128 slots: the program grid's painting and colours, one slot
// selected at a time. Library programs dropped on a slot fill it and the slots after it; a
// slot dragged onto another swaps the two. Double-click and Enter ask for an audition.
// Unlike the library grid it posts nothing to the main window: it says what happened
// through its own signals.

#include "Bank.h"
#include "grid/GridListCtrl.h"

#include <vector>

class CBankGrid : public CGridListCtrl {
    Q_OBJECT
public:
    explicit CBankGrid(QWidget* parent = nullptr);

    // The slot under a point of the viewport, or -1.
    int SlotAt(const QPoint& viewportPoint) const;
    // The slot a drop at that point would go to (highlighted), or -1.
    int DropTarget() const { return m_dropSlot; }
    // As wide as its columns need (its minimum width), so that the pane asks no more room
    // beside the library than that.
    QSize sizeHint() const override;

signals:
    void auditionRequested(int slot);
    // `dragged` programs were dropped on `slot`; `programs` holds those a bank can take.
    void programsDropped(int slot, const std::vector<CBank::ProgramData>& programs, int dragged);
    void slotDropped(int from, int to);

protected:
    bool event(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool CanTake(const QMimeData* mime) const;
    void SetDropTarget(int slot);

    int m_dropSlot = -1;
};
