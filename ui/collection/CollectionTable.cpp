#include "CollectionTable.h"

#include "CollectionModel.h"

#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

namespace {
// The name is edited in a line that takes only what the synthesizer can show: up to 12
// printable ASCII characters.
class CNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName("nameEditor");
        editor->setMaxLength(12);
        editor->setValidator(new QRegularExpressionValidator(QRegularExpression("[\\x20-\\x7E]{1,12}"), editor));
        editor->setFrame(false);
        Q_UNUSED(option);
        Q_UNUSED(index);
        return editor;
    }
    // The whole name selected, so that typing replaces it.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        QStyledItemDelegate::setEditorData(editor, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->selectAll();
    }
};
}  // namespace

CCollectionTable::CCollectionTable(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);   // F2 is handled below, on the name
    setWordWrap(false);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    // Rows of one height and no per-row header: the view then never measures rows, however
    // many there are.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    setItemDelegateForColumn(CCollectionModel::NAME, new CNameDelegate(this));
}

bool CCollectionTable::EditName()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return false;
    const QModelIndex name = model()->index(current.row(), CCollectionModel::NAME);
    if (!(model()->flags(name) & Qt::ItemIsEditable))
        return false;
    setCurrentIndex(name);
    edit(name, QAbstractItemView::AllEditTriggers, nullptr);
    return state() == QAbstractItemView::EditingState;
}

void CCollectionTable::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (currentIndex().isValid())
                emit activatedRow(currentIndex().row());
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_F2) {
            EditName();
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void CCollectionTable::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit activatedRow(index.row());
    event->accept();
}

void CCollectionTable::startDrag(Qt::DropActions supportedActions)
{
    QMimeData* mime = CreateDragData();
    if (mime == nullptr)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(supportedActions & Qt::CopyAction ? Qt::CopyAction : supportedActions, Qt::CopyAction);
}
