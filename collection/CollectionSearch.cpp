// Reading the Collection: search, programs, sources.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionTime.h"
#include "NameIndex.h"
#include "SearchFilter.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include "SyxProgram.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <variant>

namespace {

constexpr unsigned int NAME_SIZE = 12;
constexpr char TAG_SEPARATOR = '\x1F';   // tags never hold control characters

const char* const PROGRAM_COLUMNS =
    "SELECT p.id, coalesce(p.user_name, p.first_name), p.voice_mode, p.favourite, p.hidden, p.comment, p.source_count, p.first_seen,"
    " (SELECT group_concat(tag, char(31)) FROM tag WHERE program = p.id) FROM program p ";

bool LessIgnoringCase(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

// The programs of one dump were all first seen at the same second: its text is made once.
struct CTimeTexts {
    std::int64_t seconds = -1;
    std::string text;
    const std::string& Of(std::int64_t time)
    {
        if (time != seconds) {
            seconds = time;
            text = LocalTimeText(time);
        }
        return text;
    }
};

CCollectionProgram ReadProgram(const CSqliteQuery& query, CTimeTexts& times)
{
    CCollectionProgram program;
    program.id = query.Int(0);
    program.shownName = query.Text(1);
    program.voiceMode = VOICE_MODE_NAMES[query.Int(2) & 3];
    program.favourite = query.Int(3) != 0;
    program.hidden = query.Int(4) != 0;
    program.comment = query.Text(5);
    program.sourceCount = static_cast<int>(query.Int(6));
    program.firstSeen = times.Of(query.Int(7));
    const std::string tags = query.Text(8);
    for (std::size_t start = 0; start < tags.size();) {
        std::size_t end = tags.find(TAG_SEPARATOR, start);
        if (end == std::string::npos)
            end = tags.size();
        program.tags.push_back(tags.substr(start, end - start));
        start = end + 1;
    }
    std::sort(program.tags.begin(), program.tags.end(), LessIgnoringCase);
    return program;
}

std::string IdsAsJson(const std::vector<CollectionId>& ids)
{
    std::string json = "[";
    for (const CollectionId id : ids)
        json += (json.size() > 1 ? "," : "") + std::to_string(id);
    return json + "]";
}

} // namespace

int VoiceModeIndex(const std::string& name)
{
    for (int mode = 0; mode < 4; ++mode)
        if (strcasecmp(name.c_str(), VOICE_MODE_NAMES[mode]) == 0)
            return mode;
    return -1;
}

void CSearchFilter::Bind(CSqliteQuery& query) const
{
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (const auto* number = std::get_if<std::int64_t>(&parameters[i]))
            query.Bind(index, *number);
        else
            query.BindText(index, std::get<std::string>(parameters[i]));
    }
}

std::vector<CollectionId> CCollection::ProgramsNamed(const std::string& fragment)
{
    BeginRead();
    if (!m_names)
        m_names = std::make_unique<CNameIndex>();
    std::vector<CollectionId> named;
    if (!m_names->Find(*m_db, ChangeCount(), fragment, named)) {
        ReadFailure();
        named.clear();
    }
    return named;
}

CSearchFilter CCollection::Filter(const CCollectionQuery& query)
{
    CSearchFilter filter;
    // As literals, so that SQLite can answer from the partial indexes of hidden and
    // favourite programs.
    filter.where = query.hiddenOnly ? "WHERE p.hidden = 1" : "WHERE p.hidden = 0";
    if (!query.text.empty()) {
        const std::vector<CollectionId> named = ProgramsNamed(query.text);
        filter.matchesNothing = named.empty();
        filter.where += " AND p.id IN (SELECT value FROM json_each(?))";
        filter.parameters.emplace_back(IdsAsJson(named));
    }
    if (!query.voiceMode.empty()) {
        const int mode = VoiceModeIndex(query.voiceMode);
        filter.matchesNothing = filter.matchesNothing || mode < 0;
        filter.where += " AND p.voice_mode = ?";
        filter.parameters.emplace_back(std::int64_t(mode));
    }
    if (!query.tag.empty()) {
        filter.where += " AND p.id IN (SELECT program FROM tag WHERE tag = ?)";
        filter.parameters.emplace_back(query.tag);
    }
    if (query.favouritesOnly)
        filter.where += " AND p.favourite = 1";
    if (query.source != 0) {
        filter.where += " AND p.id IN (SELECT value FROM json_each(?))";
        filter.parameters.emplace_back(IdsAsJson(SourceProgramsRead(query.source)));
    }
    if (query.list != 0) {
        filter.where += " AND p.id IN (SELECT program FROM list_entry WHERE list = ?)";
        filter.parameters.emplace_back(std::int64_t(query.list));
    }
    return filter;
}

std::vector<CCollectionProgram> CCollection::Search(const CCollectionQuery& query)
{
    BeginRead();
    const CSearchFilter filter = Filter(query);
    if (filter.matchesNothing || ReadFailed())
        return {};
    const std::string sql = std::string(PROGRAM_COLUMNS) + filter.where
        + " ORDER BY coalesce(p.user_name, p.first_name) COLLATE NOCASE, p.id";
    CSqliteQuery select(*m_db, sql.c_str());
    filter.Bind(select);
    std::vector<CCollectionProgram> programs;
    CTimeTexts times;
    while (select.Next())
        programs.push_back(ReadProgram(select, times));
    if (select.Failed()) {
        ReadFailure();
        programs.clear();
    }
    return programs;
}

bool CCollection::GetProgram(CollectionId id, CCollectionProgram& program)
{
    BeginRead();
    const std::string sql = std::string(PROGRAM_COLUMNS) + "WHERE p.id = ?";
    CSqliteQuery select(*m_db, sql.c_str());
    if (!select.Bind(1, id).Next()) {
        if (select.Failed())
            ReadFailure();
        return false;
    }
    CTimeTexts times;
    program = ReadProgram(select, times);
    return true;
}

std::vector<std::string> CCollection::ProgramNames(CollectionId id)
{
    BeginRead();
    std::vector<std::string> names;
    {
        CSqliteQuery first(*m_db, "SELECT first_name FROM program WHERE id = ?");
        if (!first.Bind(1, id).Next()) {
            if (first.Failed())
                ReadFailure();
            return names;
        }
        names.push_back(first.Text(0));
    }
    CSqliteQuery later(*m_db, "SELECT name FROM program_name WHERE program = ? ORDER BY seen");
    later.Bind(1, id);
    while (later.Next())
        names.push_back(later.Text(0));
    if (later.Failed()) {
        ReadFailure();
        names.clear();
    }
    return names;
}

bool CCollection::ProgramData(CollectionId id, CollectionProgramData& data)
{
    BeginRead();
    std::string name;
    {
        CSqliteQuery select(*m_db, "SELECT coalesce(user_name, first_name) FROM program WHERE id = ?");
        if (!select.Bind(1, id).Next()) {
            if (select.Failed())
                ReadFailure();
            return false;
        }
        name = select.Text(0);
    }
    CSourcePrograms sources;
    const unsigned char* stored = sources.ProgramData(*m_db, id);
    if (stored == nullptr) {
        // A damaged source or a failure of the database; a program whose first source lacks
        // its slot cannot be: that is damage too.
        m_readError = sources.Error().empty() ? "Program " + std::to_string(id) + " cannot be read from its source"
                                              : sources.Error();
        return false;
    }
    data.fill(' ');
    std::memcpy(data.data(), name.data(), std::min<std::size_t>(name.size(), NAME_SIZE));
    std::memcpy(data.data() + NAME_SIZE, stored + NAME_SIZE, data.size() - NAME_SIZE);
    return true;
}

std::vector<CCollectionSource> CCollection::Sources()
{
    BeginRead();
    CSqliteQuery select(*m_db, "SELECT id, kind, name, program_count, taken_in, size FROM source ORDER BY taken_in, id");
    std::vector<CCollectionSource> sources;
    while (select.Next()) {
        CCollectionSource source;
        source.id = select.Int(0);
        const std::int64_t kind = select.Int(1);
        source.kind = kind == 1 ? SourceKind::Synth : kind == 2 ? SourceKind::Bank : SourceKind::File;
        source.name = select.Text(2);
        source.programCount = static_cast<int>(select.Int(3));
        source.takenIn = LocalTimeText(select.Int(4));
        source.size = select.Int(5);
        sources.push_back(source);
    }
    if (select.Failed()) {
        ReadFailure();
        sources.clear();
    }
    return sources;
}

bool CCollection::SourceBytes(CollectionId source, std::vector<unsigned char>& bytes)
{
    BeginRead();
    std::string name;
    const SourceRead result = ReadSourceBytes(*m_db, source, bytes, &name);
    if (result == SourceRead::Damaged || result == SourceRead::Failed)
        m_readError = SourceReadError(*m_db, result, source, name);
    return result == SourceRead::Read;
}

bool CCollection::SourceGlobalBlock(CollectionId source, std::vector<unsigned char>& bytes)
{
    // Read through the source's bytes, so that a damaged source is not sent.
    std::vector<unsigned char> all;
    if (!SourceBytes(source, all))
        return false;
    CSqliteQuery select(*m_db, "SELECT global_block FROM source WHERE id = ? AND global_block IS NOT NULL");
    if (!select.Bind(1, source).Next()) {
        if (select.Failed())
            ReadFailure();
        return false;
    }
    bytes.assign(select.Blob(0), select.Blob(0) + select.Size(0));
    return true;
}

std::vector<CollectionId> CCollection::SourceProgramsRead(CollectionId source)
{
    CSqliteQuery select(*m_db, "SELECT programs FROM source_slots WHERE source = ?");
    if (!select.Bind(1, source).Next()) {
        if (select.Failed())
            ReadFailure();
        return {};
    }
    return DecodeSlots(select.Blob(0), select.Size(0));
}

std::vector<CollectionId> CCollection::SourcePrograms(CollectionId source)
{
    BeginRead();
    return SourceProgramsRead(source);
}

std::vector<std::string> CCollection::Tags()
{
    BeginRead();
    CSqliteQuery select(*m_db, "SELECT DISTINCT tag FROM tag ORDER BY tag");
    std::vector<std::string> tags;
    while (select.Next())
        tags.push_back(select.Text(0));
    if (select.Failed()) {
        ReadFailure();
        tags.clear();
    }
    return tags;
}
