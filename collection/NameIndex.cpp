#include "NameIndex.h"

#include "SourceStore.h"
#include "SqliteDb.h"

#include <algorithm>

namespace {

constexpr std::size_t NAME_SIZE = 12;

bool IsTrailingSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The name as a program record gives it: the bytes up to the first NUL, without trailing
// white space (CSyxProgram::GetName).
std::string NameText(const unsigned char* bytes)
{
    std::size_t end = 0;
    while (end < NAME_SIZE && bytes[end] != 0)
        ++end;
    while (end > 0 && IsTrailingSpace(bytes[end - 1]))
        --end;
    return std::string(reinterpret_cast<const char*>(bytes), end);
}

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
        CSqliteQuery sources(db, "SELECT programs, names FROM source_slots");
        while (sources.Next()) {
            const std::vector<std::int64_t> programs = DecodeSlots(sources.Blob(0), sources.Size(0));
            const unsigned char* names = sources.Blob(1);
            if (sources.Size(1) != programs.size() * NAME_SIZE)
                continue;
            for (std::size_t slot = 0; slot < programs.size(); ++slot) {
                m_names.push_back({programs[slot], NameText(names + slot * NAME_SIZE)});
                FoldInPlace(m_names.back().folded);
            }
        }
        if (sources.Failed()) {
            m_names.clear();
            return false;
        }
    }
    CSqliteQuery given(db, "SELECT program, name FROM program_name");
    while (given.Next()) {
        m_names.push_back({given.Int(0), given.Text(1)});
        FoldInPlace(m_names.back().folded);
    }
    if (given.Failed()) {
        m_names.clear();
        return false;
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
