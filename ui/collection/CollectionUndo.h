#pragma once
// A change of the Collection view's programs (their marks, tags or name) as an undoable step:
// done once before it is kept, undone and done again through the view, which writes the
// database and changes its rows.

#include "CollectionView.h"

#include <QUndoCommand>

#include <vector>

class CCollectionChangeCommand : public QUndoCommand {
public:
    // `changes` were made already: the first redo() does nothing.
    CCollectionChangeCommand(CCollectionView& view, const QString& text,
                             std::vector<CCollectionView::CProgramChange> changes);

    void redo() override;
    void undo() override;

private:
    void Apply(bool undoing);

    CCollectionView& m_view;
    std::vector<CCollectionView::CProgramChange> m_changes;
    bool m_made = true;
};
