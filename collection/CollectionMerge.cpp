// A merge: another Collection taken in whole. Its sources are taken in again, in the order
// they were taken in there, each with its kind, name, time and exact bytes, through the same
// writing as an import: each program's sound key is this Collection's own, and the sound
// index, the name indexes and the change log follow as they do for any import. The slots of
// each source tell which program here is which program there, and the programs' names, marks,
// tags and comments, then the lists, follow in one transaction. What this Collection knows of
// the synthesizer's memory (what it sent since its last receive) and its own state (its sound
// key, the indexes' progress, the last full check) are its own and are not taken from the other.

#include "Collection.h"

#include "CollectionCopy.h"
#include "CollectionErrors.h"
#include "CollectionSchema.h"
#include "CollectionWrite.h"
#include "FileMoves.h"
#include "NameEnds.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include <sqlite3.h>

#include <cstring>
#include <map>

namespace {

const char* const MERGED_SUFFIX = " (merged)";

struct COtherSource {
    CollectionId id = 0;
    SourceKind kind = SourceKind::File;
    std::string name;
    std::int64_t takenIn = 0;
    std::vector<unsigned char> bytes;
};

SourceKind KindOf(std::int64_t value)
{
    return value == 1 ? SourceKind::Synth : value == 2 ? SourceKind::Bank : SourceKind::File;
}

// The source here with this kind, name, time and bytes: a receive or a bank merged before.
// Found through the index of the sources' content, as a file already known is.
bool FindSameSource(CSqliteDb& db, const COtherSource& other, CollectionId& found)
{
    found = 0;
    CSqliteQuery query(db, "SELECT id, bytes FROM source WHERE content_hash = ? AND content_check = ? AND size = ?"
                           " AND kind = ? AND name = ? AND taken_in = ?");
    const CSourceHashes hashes = SourceHashes(other.bytes);
    query.Bind(1, static_cast<std::int64_t>(hashes.hash))
        .Bind(2, static_cast<std::int64_t>(hashes.check))
        .Bind(3, static_cast<std::int64_t>(other.bytes.size()))
        .Bind(4, other.kind == SourceKind::Synth ? 1 : other.kind == SourceKind::Bank ? 2 : 0)
        .BindText(5, other.name)
        .Bind(6, other.takenIn);
    while (query.Next())
        if (query.Size(1) == other.bytes.size() && std::memcmp(query.Blob(1), other.bytes.data(), other.bytes.size()) == 0)
            found = query.Int(0);
    return !query.Failed();
}

struct COtherProgram {
    std::string userName;       // empty for none
    bool renamedAtKnown = false;
    std::int64_t renamedAt = 0; // when userName was given, if known
    bool favourite = false;
    bool hidden = false;
    std::string comment;
};

// A list as its entries: programs (ids of the Collection it is in) and slot names.
struct CListEntries {
    std::vector<CollectionId> programs;
    std::vector<std::vector<unsigned char>> slotNames;   // empty for an entry without one
    bool operator==(const CListEntries& other) const
    {
        return programs == other.programs && slotNames == other.slotNames;
    }
};

CListEntries ReadListEntries(CSqliteDb& db, CollectionId list)
{
    CListEntries entries;
    CSqliteQuery query(db, "SELECT program, slot_name FROM list_entry WHERE list = ? ORDER BY position");
    query.Bind(1, list);
    while (query.Next()) {
        entries.programs.push_back(query.Int(0));
        entries.slotNames.emplace_back(query.Blob(1), query.Blob(1) + (query.IsNull(1) ? 0 : query.Size(1)));
    }
    return entries;
}

// A rename there: shown here when this program has none, or when it was made later than this
// one's (a rename whose time is not known, made before renames kept it, counts as earlier
// than any). The name it replaces stays a name seen, as every name given does.
bool MergeRename(CSqliteDb& db, CollectionId id, const COtherProgram& program)
{
    CSqliteQuery current(db, "SELECT user_name, renamed_at FROM program WHERE id = ?");
    if (!current.Bind(1, id).Next())
        return false;
    const bool renamed = !current.IsNull(0);
    const std::string name = renamed ? current.Text(0) : std::string();
    const bool timeKnown = !current.IsNull(1);
    const std::int64_t renamedAt = current.Int(1);
    const bool theirsIsLater = program.renamedAtKnown && (!timeKnown || program.renamedAt > renamedAt);
    if (renamed && (name == program.userName || !theirsIsLater))
        return true;
    if (renamed && !AddProgramName(db, id, name))
        return false;
    CSqliteQuery rename(db, "UPDATE program SET user_name = ?, renamed_at = ? WHERE id = ?");
    rename.BindText(1, program.userName);
    if (program.renamedAtKnown)
        rename.Bind(2, program.renamedAt);
    else
        rename.BindNull(2);
    return rename.Bind(3, id).Run() && NoteShownName(db, id);
}

// The comment kept when both have one: this one's, then the other's on a line of its own.
std::string MergedComment(const std::string& mine, const std::string& theirs)
{
    if (theirs.empty() || mine.find(theirs) != std::string::npos)
        return mine;
    if (mine.empty() || theirs.find(mine) != std::string::npos)
        return theirs;
    return mine + "\n" + theirs;
}

} // namespace

CollectionCopyOutcome CCollection::Merge(const std::string& otherPath, const CCollectionProgress& progress,
                                         CMergeResult& result, std::string& error)
{
    result = CMergeResult();
    if (!CanWrite(error))
        return CollectionCopyOutcome::CollectionFailed;
    // Read from a copy, opened as any Collection is (an older one brought up to this version)
    // and checked whole: the other file stays as it is, and no writer there can change what
    // is merged half-way.
    CScratchFolder scratch(m_db->Path(), "merge");
    if (scratch.Path().empty()) {
        error = "Cannot make a folder beside the Collection for a copy of " + otherPath;
        return CollectionCopyOutcome::CollectionFailed;
    }
    std::unique_ptr<CCollection> other;
    const CCollectionProgress copying = [&progress](std::int64_t, std::int64_t) {
        return !progress || progress(0, 0);   // how far is told once the sources are counted
    };
    const CollectionCopyOutcome copied
        = TakeCheckedCopy(otherPath, scratch.Path() + "/other.sqlite", copying, other, error);
    if (copied != CollectionCopyOutcome::Done)
        return copied;
    CSqliteDb& theirs = *other->m_db;

    // Sources, oldest first; the slots of each pair the programs there with those here.
    std::vector<CollectionId> sourceIds;
    {
        CSqliteQuery ids(theirs, "SELECT id FROM source ORDER BY id");
        while (ids.Next())
            sourceIds.push_back(ids.Int(0));
        if (ids.Failed()) {
            error = DatabaseError(theirs);
            return CollectionCopyOutcome::FileFailed;
        }
    }
    const std::int64_t steps = static_cast<std::int64_t>(sourceIds.size()) + 1;
    std::map<CollectionId, CollectionId> mine;   // their program -> the program here
    for (std::size_t i = 0; i < sourceIds.size(); ++i) {
        if (progress && !progress(static_cast<std::int64_t>(i), steps))
            return CollectionCopyOutcome::Cancelled;
        COtherSource source;
        {
            CSqliteQuery row(theirs, "SELECT id, kind, name, taken_in, bytes FROM source WHERE id = ?");
            if (!row.Bind(1, sourceIds[i]).Next()) {
                error = DatabaseError(theirs);
                return CollectionCopyOutcome::FileFailed;
            }
            source = {row.Int(0), KindOf(row.Int(1)), row.Text(2), row.Int(3),
                      std::vector<unsigned char>(row.Blob(4), row.Blob(4) + row.Size(4))};
        }
        CollectionId here = 0;
        if (source.kind != SourceKind::File && !FindSameSource(*m_db, source, here)) {
            error = DatabaseError(*m_db);
            return CollectionCopyOutcome::CollectionFailed;
        }
        if (here == 0) {
            CImportResult imported;
            if (!TakeIn(source.kind, source.name, source.bytes, source.takenIn, imported, error)) {
                error = "Cannot take in the source " + source.name + " of " + otherPath + ": " + error;
                return CollectionCopyOutcome::CollectionFailed;
            }
            here = imported.source;
            result.sources += imported.alreadyKnown ? 0 : 1;
            result.programs += imported.newPrograms;
        }
        const std::vector<CollectionId> theirSlots = other->SourcePrograms(source.id);
        const std::vector<CollectionId> mySlots = SourcePrograms(here);
        for (std::size_t slot = 0; slot < theirSlots.size() && slot < mySlots.size(); ++slot)
            mine.emplace(theirSlots[slot], mySlots[slot]);
    }
    if (progress && !progress(steps - 1, steps))
        return CollectionCopyOutcome::Cancelled;

    // What the user gave the programs there, and the lists, in one go.
    CSqliteTransaction transaction(*m_db);
    if (!transaction.Began()) {
        error = DatabaseError(*m_db);
        return CollectionCopyOutcome::CollectionFailed;
    }
    const auto failed = [this, &error]() {
        error = DatabaseError(*m_db);
        return CollectionCopyOutcome::CollectionFailed;
    };
    {
        CSqliteQuery programs(theirs, "SELECT id, coalesce(user_name, ''), renamed_at, favourite, hidden, comment"
                                      " FROM program");
        while (programs.Next()) {
            const auto found = mine.find(programs.Int(0));
            if (found == mine.end())
                continue;
            const CollectionId id = found->second;
            const COtherProgram program{programs.Text(1), !programs.IsNull(2), programs.Int(2),
                                        programs.Int(3) != 0, programs.Int(4) != 0, programs.Text(5)};
            for (const std::string& name : other->ProgramNames(programs.Int(0)))
                if (!AddProgramName(*m_db, id, name))
                    return failed();
            CSqliteQuery marks(*m_db, "UPDATE program SET favourite = max(favourite, ?2), hidden = max(hidden, ?3)"
                                      " WHERE id = ?1");
            if (!marks.Bind(1, id).Bind(2, program.favourite).Bind(3, program.hidden).Run())
                return failed();
            if (!program.userName.empty() && !MergeRename(*m_db, id, program))
                return failed();
            if (!program.comment.empty()) {
                CSqliteQuery current(*m_db, "SELECT comment FROM program WHERE id = ?");
                if (!current.Bind(1, id).Next())
                    return failed();
                const std::string before = current.Text(0);
                const std::string after = MergedComment(before, program.comment);
                if (after != before) {
                    CSqliteQuery set(*m_db, "UPDATE program SET comment = ? WHERE id = ?");
                    if (!set.BindText(1, after).Bind(2, id).Run())
                        return failed();
                }
            }
        }
        if (programs.Failed())
            return failed();
    }
    {
        CSqliteQuery tags(theirs, "SELECT program, tag FROM tag");
        while (tags.Next()) {
            const auto found = mine.find(tags.Int(0));
            CSqliteQuery add(*m_db, "INSERT INTO tag(program, tag) VALUES(?, ?) ON CONFLICT DO NOTHING");
            if (found != mine.end() && !add.Bind(1, found->second).BindText(2, tags.Text(1)).Run())
                return failed();
        }
    }

    CSqliteQuery lists(theirs, "SELECT id, name FROM list ORDER BY id");
    while (lists.Next()) {
        const CListEntries entries = ReadListEntries(theirs, lists.Int(0));
        CListEntries mapped;
        bool whole = true;
        bool allNamed = !entries.programs.empty();
        for (std::size_t i = 0; i < entries.programs.size(); ++i) {
            const auto found = mine.find(entries.programs[i]);
            whole = whole && found != mine.end();
            mapped.programs.push_back(found == mine.end() ? 0 : found->second);
            mapped.slotNames.push_back(entries.slotNames[i]);
            allNamed = allNamed && entries.slotNames[i].size() == 12;
        }
        if (!whole)
            continue;   // a list of a program there is not: never the case in a whole Collection
        // The other's name, or "NAME (merged)" when a list of that name here holds others.
        const std::string name = lists.Text(1);
        std::string kept;
        for (int attempt = 1; kept.empty(); ++attempt) {
            const std::string candidate = attempt == 1 ? name
                : name + MERGED_SUFFIX + (attempt == 2 ? std::string() : " " + std::to_string(attempt - 1));
            CCollectionList existing;
            if (!FindList(candidate, existing)) {
                kept = candidate;
            } else if (ReadListEntries(*m_db, existing.id) == mapped) {
                break;   // the same list is here already
            }
        }
        if (kept.empty())
            continue;
        std::vector<unsigned char> slotNames;
        for (const std::vector<unsigned char>& slotName : mapped.slotNames)
            slotNames.insert(slotNames.end(), slotName.begin(), slotName.end());
        std::string listError;
        if (!WriteList(*m_db, kept, mapped.programs, allNamed ? &slotNames : nullptr, listError)) {
            error = listError;
            return CollectionCopyOutcome::CollectionFailed;
        }
        ++result.lists;
        if (kept != name)
            result.renamedLists.emplace_back(name, kept);
    }
    if (lists.Failed())
        return failed();
    if (!transaction.Commit())
        return failed();
    if (progress)
        progress(steps, steps);
    return CollectionCopyOutcome::Done;
}
