#include "CollectionTable.h"

#include "CollectionModel.h"

#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QValidator>
#include <QStyledItemDelegate>

namespace {
// Takes only what a program name can be: up to 12 printable ASCII characters. What it
// refuses is said, so that nothing typed or pasted goes missing without a word.
class CProgramNameValidator : public QValidator {
public:
    CProgramNameValidator(std::function<void(const QString&)> note, QObject* parent)
        : QValidator(parent), m_note(std::move(note))
    {
    }
    State validate(QString& input, int&) const override
    {
        for (const QChar c : input) {
            if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
                m_note(QString("The synthesizer cannot show \"%1\". %2").arg(c, ProgramNameRule()));
                return Invalid;
            }
        }
        if (input.size() > PROGRAM_NAME_LENGTH) {
            m_note(QString("A program name holds at most %1 characters.").arg(PROGRAM_NAME_LENGTH));
            return Invalid;
        }
        return input.isEmpty() ? Intermediate : Acceptable;
    }

private:
    std::function<void(const QString&)> m_note;
};

QString LengthNote(const QString& name)
{
    return QString("Name: %1 of %2 characters").arg(name.size()).arg(PROGRAM_NAME_LENGTH);
}

// The name is edited in a line that takes only what the synthesizer can show.
class CNameDelegate : public QStyledItemDelegate {
public:
    CNameDelegate(CCollectionTable& table) : QStyledItemDelegate(&table), m_table(table) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName("nameEditor");
        editor->setAccessibleName("Program name");
        editor->setToolTip(ProgramNameRule());
        CCollectionTable* table = &m_table;
        editor->setValidator(
            new CProgramNameValidator([table](const QString& text) { emit table->nameNote(text); }, editor));
        editor->setFrame(false);
        QObject::connect(editor, &QLineEdit::textEdited, table,
                         [table](const QString& text) { emit table->nameNote(LengthNote(text)); });
        return editor;
    }
    // The whole name selected, so that typing replaces it; the limit in the status bar.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        QStyledItemDelegate::setEditorData(editor, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->selectAll();
            emit m_table.nameNote(LengthNote(line->text()));
        }
    }

private:
    CCollectionTable& m_table;
};
}  // namespace

CCollectionTable::CCollectionTable(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);   // F2 is handled below, on the name
    setWordWrap(false);
    setTabKeyNavigation(false);   // Tab goes on to the next control, not to the next cell
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
    horizontalHeader()->setStretchLastSection(false);   // each column as wide as it needs
    setItemDelegateForColumn(CCollectionModel::NAME, new CNameDelegate(*this));
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

void CCollectionTable::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QModelIndex edited = currentIndex();
    const bool hadKeyboard = editor != nullptr && editor->hasFocus();
    QTableView::closeEditor(editor, hint);
    // Done with a key (Return, Escape), the keyboard stays on the row just renamed, so that
    // Down and F2 rename the next one; a click elsewhere keeps its own place.
    if (hadKeyboard && edited.isValid() && model() != nullptr) {
        setFocus();
        selectionModel()->setCurrentIndex(model()->index(edited.row(), 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    emit editorClosed();
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
