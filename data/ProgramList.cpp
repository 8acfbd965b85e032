#include "ProgramList.h"

#include "SyxProgram.h"

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
    if (program != nullptr)
        m_items.push_back(program);
}

void CProgramList::DeleteAll()
{
    DeleteFrom(0);
    std::vector<CSyxProgram*>().swap(m_items);  // gives the storage back for certain
}

void CProgramList::DeleteFrom(int index)
{
    if (index < 0)
        index = 0;
    for (size_t i = static_cast<size_t>(index); i < m_items.size(); ++i)
        delete m_items[i];
    if (static_cast<size_t>(index) < m_items.size())
        m_items.resize(static_cast<size_t>(index));
}
