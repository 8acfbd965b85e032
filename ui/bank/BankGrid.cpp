#include "BankGrid.h"

#include "ProgramMime.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

CBankGrid::CBankGrid(QWidget* parent) : CGridListCtrl(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The header sorts nothing here: its clicks must not reach the main window.
    disconnect(header(), &QHeaderView::sectionClicked, this, nullptr);
    header()->setSectionsClickable(false);

    SetDragSource([this](const std::vector<int>& rows) { return CreateSlotMimeData(this, rows.front()); },
                  Qt::MoveAction);
    setDragDropMode(QAbstractItemView::DragDrop);
}

QSize CBankGrid::sizeHint() const
{
    return QSize(minimumWidth(), CGridListCtrl::sizeHint().height());
}

int CBankGrid::SlotAt(const QPoint& viewportPoint) const
{
    const QModelIndex index = indexAt(viewportPoint);
    return index.isValid() && CBank::IsSlot(index.row()) ? index.row() : -1;
}

bool CBankGrid::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && GetSelectedRow() >= 0)
            emit auditionRequested(GetSelectedRow());
    }
    // Past the library grid's handling, which reports keys to the main window.
    return QTreeView::event(event);
}

void CBankGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (GetSelectedRow() >= 0)
        emit auditionRequested(GetSelectedRow());
}

void CBankGrid::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.row() != m_dropSlot) {
        CGridListCtrl::drawRow(painter, option, index);
        return;
    }
    // The drop target shows as a selected row does.
    const QRect rowRect(-header()->offset(), option.rect.top(), header()->length(), option.rect.height());
    DrawItem(*painter, index.row(), ITEM_SELECTED, rowRect);
}

bool CBankGrid::CanTake(const QMimeData* mime) const
{
    return mime != nullptr && (mime->hasFormat(PROGRAMS_MIME_TYPE) || SlotFromMimeData(mime, this) >= 0);
}

void CBankGrid::SetDropTarget(int slot)
{
    if (slot == m_dropSlot)
        return;
    m_dropSlot = slot;
    viewport()->update();
}

void CBankGrid::dragEnterEvent(QDragEnterEvent* event)
{
    if (!CanTake(event->mimeData())) {
        event->ignore();
        return;
    }
    setState(DraggingState);
    event->accept();
}

void CBankGrid::dragMoveEvent(QDragMoveEvent* event)
{
    // The item view scrolls near the edges; it turns the drop down itself, since the
    // grid's model takes none, and the decision is made here.
    QTreeView::dragMoveEvent(event);
    const int slot = SlotAt(event->position().toPoint());
    if (slot < 0 || !CanTake(event->mimeData())) {
        SetDropTarget(-1);
        event->ignore();
        return;
    }
    SetDropTarget(slot);
    event->setDropAction(SlotFromMimeData(event->mimeData(), this) >= 0 ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

void CBankGrid::dragLeaveEvent(QDragLeaveEvent* event)
{
    SetDropTarget(-1);
    QTreeView::dragLeaveEvent(event);
}

void CBankGrid::dropEvent(QDropEvent* event)
{
    SetDropTarget(-1);
    stopAutoScroll();
    setState(NoState);
    const int slot = SlotAt(event->position().toPoint());
    const QMimeData* mime = event->mimeData();
    if (slot < 0) {
        event->ignore();
        return;
    }
    const int from = SlotFromMimeData(mime, this);
    if (from >= 0) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        emit slotDropped(from, slot);
        return;
    }
    int dragged = 0;
    const std::vector<CBank::ProgramData> programs = ProgramsFromMimeData(mime, &dragged);
    if (programs.empty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit programsDropped(slot, programs, dragged);
}
