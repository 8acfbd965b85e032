#include "NameIndex.h"

#include "SqliteDb.h"

#include <algorithm>

namespace {

void FoldInPlace(std::string& text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

} // namespace

std::string FoldCase(const std::string& text)
{
    std::string folded = text;
    FoldInPlace(folded);
    return folded;
}

bool CNameIndex::Load(CSqliteDb& db)
{
    m_names.clear();
    {
        CSqliteQuery last(db, "SELECT max(id) FROM program");
        if (last.Next())
            m_names.reserve(static_cast<std::size_t>(last.Int(0)) + 1024);
    }
    for (const char* sql : {"SELECT id, first_name FROM program", "SELECT program, name FROM program_name"}) {
        CSqliteQuery query(db, sql);
        while (query.Next()) {
            m_names.push_back({query.Int(0), query.Text(1)});
            FoldInPlace(m_names.back().folded);
        }
        if (query.Failed()) {
            m_names.clear();
            return false;
        }
    }
    return true;
}

bool CNameIndex::Find(CSqliteDb& db, std::int64_t version, const std::string& fragment,
                      std::vector<std::int64_t>& programs)
{
    if (version != m_version) {
        m_version = -1;
        if (!Load(db))
            return false;
        m_version = version;
    }
    const std::string needle = FoldCase(fragment);
    programs.clear();
    for (const CName& name : m_names)
        if (name.folded.find(needle) != std::string::npos)
            programs.push_back(name.program);
    std::sort(programs.begin(), programs.end());
    programs.erase(std::unique(programs.begin(), programs.end()), programs.end());
    return true;
}
