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
    for (CSyxProgram* program : m_items)
        delete program;
    std::vector<CSyxProgram*>().swap(m_items);  // empties the list and gives its storage back
}
