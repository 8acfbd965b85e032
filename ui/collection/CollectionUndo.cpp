#include "CollectionUndo.h"

CCollectionChangeCommand::CCollectionChangeCommand(CCollectionView& view, const QString& text,
                                                   std::vector<CCollectionView::CProgramChange> changes)
    : m_view(view), m_changes(std::move(changes))
{
    setText(text);
}

void CCollectionChangeCommand::redo()
{
    if (m_made) {
        m_made = false;
        return;
    }
    Apply(false);
}

void CCollectionChangeCommand::undo()
{
    Apply(true);
}

void CCollectionChangeCommand::Apply(bool undoing)
{
    std::string error;
    if (m_view.ApplyChanges(m_changes, undoing, error)) {
        emit m_view.statusMessage(QString(undoing ? "Undone: %1" : "Made again: %1").arg(text()));
        return;
    }
    // What could not be written stays as the database has it; the step is of no more use.
    emit m_view.statusMessage(QString("Could not %1 %2: %3")
                                  .arg(undoing ? QString("undo") : QString("redo"), text(),
                                       QString::fromStdString(error)));
    setObsolete(true);
}
