#pragma once
// The bank's changes as undoable steps. Each works on the bank it was made for and calls
// `changed` with the slot to select after it ran (done, undone or redone).

#include "Bank.h"

#include <QUndoCommand>

#include <functional>
#include <vector>

using BankChanged = std::function<void(int slot)>;

// Puts programs in consecutive slots from `firstSlot`; those past H16 are left out.
class CPutProgramsCommand : public QUndoCommand {
public:
    CPutProgramsCommand(CBank& bank, int firstSlot, const std::vector<CBank::ProgramData>& programs,
                        BankChanged changed);

    // How many programs the bank took.
    int Placed() const { return static_cast<int>(m_programs.size()); }

    void redo() override;
    void undo() override;

private:
    CBank& m_bank;
    int m_firstSlot;
    std::vector<CBank::ProgramData> m_programs;
    std::vector<CBank::ProgramData> m_replaced;
    BankChanged m_changed;
};

// Exchanges the programs of two slots.
class CSwapSlotsCommand : public QUndoCommand {
public:
    CSwapSlotsCommand(CBank& bank, int from, int to, BankChanged changed);

    void redo() override;
    void undo() override;

private:
    CBank& m_bank;
    int m_from;
    int m_to;
    BankChanged m_changed;
};
