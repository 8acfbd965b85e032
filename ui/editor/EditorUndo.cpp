#include "EditorUndo.h"

CProgramEditCommand::CProgramEditCommand(const CBank::ProgramData& before, const CBank::ProgramData& after,
                                         const QString& text, int gesture, Apply apply)
    : m_before(before), m_after(after), m_gesture(gesture), m_apply(std::move(apply))
{
    setText(text);
}

bool CProgramEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const CProgramEditCommand*>(other);
    if (next->m_gesture != m_gesture)
        return false;
    m_after = next->m_after;
    // A gesture that went back to where it started leaves nothing to undo.
    if (m_after == m_before)
        setObsolete(true);
    return true;
}

void CProgramEditCommand::redo()
{
    m_apply(m_after);
}

void CProgramEditCommand::undo()
{
    m_apply(m_before);
}
