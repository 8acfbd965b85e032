#include "LibrarySources.h"

#include "Bank.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include <algorithm>

void CLibrarySources::Clear()
{
    m_banks.clear();
    m_recorded = 0;
}

void CLibrarySources::AddFile(const QString& path, const CProgramList& list, bool isFile)
{
    const int first = std::min(m_recorded, list.GetSize());
    const int added = list.GetSize() - first;
    m_recorded = list.GetSize();
    if (added != BANK_SLOT_COUNT)
        return;
    Source source{path, {}, isFile};
    for (int i = first; i < list.GetSize(); ++i)
        source.programs.push_back(list.GetAt(i));
    m_banks.push_back(std::move(source));
}

const CLibrarySources::Source* CLibrarySources::FindBank(const CSyxProgram* record) const
{
    if (record == nullptr)
        return nullptr;
    for (const Source& source : m_banks) {
        // A file's records share its display name: a cheap test before the search.
        if (source.programs.front()->GetFileNameView() != record->GetFileNameView())
            continue;
        if (std::find(source.programs.begin(), source.programs.end(), record) != source.programs.end())
            return &source;
    }
    return nullptr;
}
