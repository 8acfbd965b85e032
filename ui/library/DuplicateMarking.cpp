#include "DuplicateMarking.h"

#include "ProgramDuplicates.h"

void CDuplicateMarking::Mark(const CProgramList& programs)
{
    const CDuplicateGroups found = FindDuplicatePrograms(programs);
    m_marked.clear();
    m_marked.reserve(static_cast<size_t>(found.ProgramCount()));
    for (const auto& group : found.groups)
        m_marked.insert(group.begin(), group.end());
    m_programCount = found.ProgramCount();
    m_groupCount = found.GroupCount();
    m_active = true;
}

void CDuplicateMarking::Clear()
{
    m_active = false;
    m_marked.clear();
    m_programCount = 0;
    m_groupCount = 0;
}

void CDuplicateMarking::Refresh(const CProgramList& programs)
{
    if (m_active)
        Mark(programs);
    else
        m_marked.clear();
}

QString CDuplicateMarking::Summary() const
{
    if (m_programCount == 0)
        return QStringLiteral("No duplicates: every program sounds different");
    return QString("%1 programs have a duplicate, in %2 %3")
        .arg(m_programCount)
        .arg(m_groupCount)
        .arg(m_groupCount == 1 ? "group" : "groups");
}
