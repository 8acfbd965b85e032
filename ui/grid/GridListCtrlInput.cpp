// CGridListCtrl and the user: the selection, typing to search, dragging rows out, and the key,
// double-click and header-click notifications posted to the main window.
#include "GridListCtrl.h"

#include "GridModel.h"
#include "VirtualKeys.h"
#include "services/PostMessage.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>

int CGridListCtrl::GetSelectedRow() const
{
    int first = -1;
    if (const QItemSelectionModel* selection = selectionModel()) {
        for (const QItemSelectionRange& range : selection->selection()) {
            if (first < 0 || range.top() < first)
                first = range.top();
        }
    }
    return first;
}

std::vector<int> CGridListCtrl::GetSelectedRows() const
{
    std::vector<int> rows;
    if (const QItemSelectionModel* selection = selectionModel()) {
        for (const QItemSelectionRange& range : selection->selection())
            for (int row = range.top(); row <= range.bottom(); ++row)
                rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CGridListCtrl::SetDragSource(RowMimeFactory makeMimeData, Qt::DropActions actions)
{
    m_makeMimeData = std::move(makeMimeData);
    m_dragActions = actions;
    m_model->SetDragEnabled(static_cast<bool>(m_makeMimeData));
    setDragEnabled(static_cast<bool>(m_makeMimeData));
}

QMimeData* CGridListCtrl::CreateDragData() const
{
    const std::vector<int> rows = GetSelectedRows();
    return m_makeMimeData && !rows.empty() ? m_makeMimeData(rows) : nullptr;
}

void CGridListCtrl::startDrag(Qt::DropActions)
{
    QMimeData* mime = CreateDragData();
    if (mime == nullptr)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(m_dragActions, m_dragActions & Qt::CopyAction ? Qt::CopyAction : Qt::MoveAction);
}

void CGridListCtrl::keyboardSearch(const QString& search)
{
    if (m_searchColumn < 0) {
        QTreeView::keyboardSearch(search);
        return;
    }
    if (search.isEmpty() || m_nRows == 0)
        return;
    const bool continues = m_searchTyped.isValid() && m_searchTyped.elapsed() < QApplication::keyboardInputInterval();
    m_searchTyped.start();
    m_searchText = continues ? m_searchText + search : search;
    // The same key again and again steps through the rows that begin with it.
    const bool sameKey = m_searchText.count(m_searchText.front()) == m_searchText.size();
    const QString wanted = sameKey ? QString(m_searchText.front()) : m_searchText;
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    // More keys of one word may still match the current row; a new key moves on.
    const int start = (sameKey || current < 0) ? current + 1 : current;
    for (int i = 0; i < m_nRows; ++i) {
        const int row = (start + i) % m_nRows;
        const std::optional<CGridCell> cell = GetCell(row, m_searchColumn);
        if (cell && cell->text.trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
            const QModelIndex index = m_model->index(row, 0);
            setCurrentIndex(index);
            scrollTo(index);
            return;
        }
    }
}

bool CGridListCtrl::event(QEvent* event)
{
    // Every key press is reported, Tab included, before the view handles it as usual.
    if (event->type() == QEvent::KeyPress) {
        const int code = VirtualKeyCode(*static_cast<QKeyEvent*>(event));
        if (code != 0)
            PostMessageToMainWindow(WM_USER, GN_KEYDOWN, code & 0xFFFF);
    }
    return QTreeView::event(event);
}

void CGridListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    // Only the primary button's double-click is the list's double-click.
    if (event->button() == Qt::LeftButton)
        PostMessageToMainWindow(WM_USER, GN_DBLCLK, 0);
}

void CGridListCtrl::OnColumnClick(int column)
{
    PostMessageToMainWindow(WM_USER, GN_COLUMNCLICK, column);
}
