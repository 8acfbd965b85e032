#include "ProgramList.h"

#include "SyxProgram.h"

#include <new>

CProgramList::CProgramList() = default;

CProgramList::~CProgramList()
{
    DeleteAll();
}

CSyxProgram* CProgramList::GetAt(int index) const
{
    if (index < 0 || index >= GetSize())
        return nullptr;
    return m_items[static_cast<size_t>(index)];
}

void CProgramList::Add(CSyxProgram* program)
{
    if (program == nullptr)
        return;
    m_items.push_back(program);
    m_added.push_back(program);
}

void CProgramList::DeleteAll()
{
    for (RecordBlock& block : m_blocks) {
        for (unsigned int i = 0; i < block.count; ++i)
            std::launder(reinterpret_cast<CSyxProgram*>(block.storage.get() + i * sizeof(CSyxProgram)))->~CSyxProgram();
    }
    for (CSyxProgram* program : m_added)
        delete program;
    // Empties the lists and gives their storage back.
    std::vector<RecordBlock>().swap(m_blocks);
    std::vector<CSyxProgram*>().swap(m_added);
    std::vector<CSyxProgram*>().swap(m_items);
}
