// The full check: the whole file by SQLite's integrity check, and every source's bytes
// against the hashes taken when it came in.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionTime.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include <sqlite3.h>

namespace {

constexpr std::int64_t WEEK_SECONDS = 7 * 24 * 60 * 60;
constexpr int MAX_PROBLEMS_KEPT = 20;

bool ReadLastCheck(CSqliteDb& db, std::int64_t& when)
{
    CSqliteQuery query(db, "SELECT value FROM collection_state WHERE key = 'last_full_check'");
    when = query.Next() ? query.Int(0) : 0;
    return !query.Failed();
}

} // namespace

bool CCollection::FullCheck(CCollectionCheck& report, std::string& error)
{
    report = CCollectionCheck();
    {
        CSqliteQuery check(*m_db, "PRAGMA integrity_check");
        while (check.Next()) {
            const std::string line = check.Text(0);
            if (line == "ok")
                continue;
            report.fileIntact = false;
            if (static_cast<int>(report.fileProblems.size()) < MAX_PROBLEMS_KEPT)
                report.fileProblems.push_back(line);
        }
        if (check.Failed()) {
            const int code = m_db->ErrorCode();
            if (code != SQLITE_CORRUPT && code != SQLITE_NOTADB) {
                error = DatabaseError(*m_db);
                return false;
            }
            report.fileIntact = false;
            report.fileProblems.push_back(m_db->ErrorText());
        }
    }
    // Every source, a row at a time: only one source's bytes are in memory at once.
    std::vector<CCollectionSource> sources = Sources();
    if (ReadFailed()) {
        if (report.fileIntact) {
            error = ReadError();
            return false;
        }
        sources.clear();
    }
    for (const CCollectionSource& source : sources) {
        std::vector<unsigned char> bytes;
        const SourceRead result = ReadSourceBytes(*m_db, source.id, bytes);
        ++report.sourcesChecked;
        if (result == SourceRead::Damaged)
            report.damagedSources.push_back(source);
        else if (result == SourceRead::Failed)
            report.fileIntact = false;
    }
    if (!m_db->ReadOnly() && report.Clean()) {
        std::string ignored;   // only a reminder: a failure to note it changes nothing
        NoteFullCheck(ignored);
    }
    return true;
}

bool CCollection::NoteFullCheck(std::string& error)
{
    if (!CanWrite(error))
        return false;
    CSqliteQuery mark(*m_db, "INSERT OR REPLACE INTO collection_state(key, value) VALUES('last_full_check', ?)");
    if (!mark.Bind(1, NowSeconds()).Run()) {
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}

bool CCollection::FullCheckDue(std::int64_t now)
{
    std::int64_t last = 0;
    if (!ReadLastCheck(*m_db, last))
        return false;
    return (now == 0 ? NowSeconds() : now) - last >= WEEK_SECONDS;
}
