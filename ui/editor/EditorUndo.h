#pragma once
// The Program Editor's changes as undoable steps: each holds the whole program before and
// after it (254 bytes each), so that any change, one parameter or many, undoes exactly.
// Changes of one gesture (a slider dragged, a key held, a stroke across bars, one knob of
// the synthesizer turned) merge into one step.

#include "Bank.h"

#include <QUndoCommand>

#include <functional>

class CProgramEditCommand : public QUndoCommand {
public:
    using Apply = std::function<void(const CBank::ProgramData& data)>;

    CProgramEditCommand(const CBank::ProgramData& before, const CBank::ProgramData& after, const QString& text,
                        int gesture, Apply apply);

    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override;
    void redo() override;
    void undo() override;

private:
    CBank::ProgramData m_before;
    CBank::ProgramData m_after;
    int m_gesture;
    Apply m_apply;
};
