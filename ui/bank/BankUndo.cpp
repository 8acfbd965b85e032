#include "BankUndo.h"

#include <QString>

#include <algorithm>

namespace {
QString SlotText(int slot)
{
    return QString::fromStdString(CBank::SlotName(slot));
}
}  // namespace

CPutProgramsCommand::CPutProgramsCommand(CBank& bank, int firstSlot, const std::vector<CBank::ProgramData>& programs,
                                         BankChanged changed)
    : m_bank(bank), m_firstSlot(firstSlot), m_changed(std::move(changed))
{
    const int room = CBank::IsSlot(firstSlot) ? BANK_SLOT_COUNT - firstSlot : 0;
    const int placed = std::min(room, static_cast<int>(programs.size()));
    m_programs.assign(programs.begin(), programs.begin() + placed);
    for (int i = 0; i < placed; ++i)
        m_replaced.push_back(bank.GetProgram(firstSlot + i));
    setText(placed == 1 ? QString("Put in %1").arg(SlotText(firstSlot))
                        : QString("Put in %1-%2").arg(SlotText(firstSlot), SlotText(firstSlot + placed - 1)));
}

void CPutProgramsCommand::redo()
{
    for (std::size_t i = 0; i < m_programs.size(); ++i)
        m_bank.PutProgram(m_firstSlot + static_cast<int>(i), m_programs[i].data(), PROGRAM_DATA_SIZE);
    m_changed(m_firstSlot);
}

void CPutProgramsCommand::undo()
{
    for (std::size_t i = 0; i < m_replaced.size(); ++i)
        m_bank.PutProgram(m_firstSlot + static_cast<int>(i), m_replaced[i].data(), PROGRAM_DATA_SIZE);
    m_changed(m_firstSlot);
}

CSwapSlotsCommand::CSwapSlotsCommand(CBank& bank, int from, int to, BankChanged changed)
    : m_bank(bank), m_from(from), m_to(to), m_changed(std::move(changed))
{
    setText(QString("Move %1 to %2").arg(SlotText(from), SlotText(to)));
}

void CSwapSlotsCommand::redo()
{
    m_bank.SwapSlots(m_from, m_to);
    m_changed(m_to);
}

void CSwapSlotsCommand::undo()
{
    m_bank.SwapSlots(m_from, m_to);
    m_changed(m_from);
}
