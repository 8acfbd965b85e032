// The name ends, kept by the writers and read by a table's first rows (see NameEnds.h).

#include "NameEnds.h"

#include "NameOrder.h"
#include "SqliteDb.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

constexpr NameEndSide SIDES[] = {NameEndSide::First, NameEndSide::Last};

int SideValue(NameEndSide side)
{
    return static_cast<int>(side);
}

// Whether `program` is in the side: at its bound or before it, counted from its end.
bool Inside(NameEndSide side, const CNameEndBound& bound, const CNamedProgram& program)
{
    return bound.whole || !ComesBefore(side, bound.last, program);
}

bool ReadBounds(CSqliteDb& db, CNameEndBound (&bounds)[2])
{
    // Read at every source taken in: without a WHERE, which would make a table of its own.
    CSqliteQuery read(db, "SELECT side, name IS NULL, name, program, keep, held FROM name_end_bound");
    int found = 0;
    while (read.Next()) {
        if (read.Int(0) != 0 && read.Int(0) != 1)
            continue;
        CNameEndBound& bound = bounds[read.Int(0)];
        bound.whole = read.Int(1) != 0;
        bound.last.id = bound.whole ? 0 : read.Int(3);
        bound.last.name = bound.whole ? std::string() : read.Text(2);
        bound.keep = static_cast<std::size_t>(std::max<std::int64_t>(1, read.Int(4)));
        bound.held = static_cast<std::size_t>(std::max<std::int64_t>(0, read.Int(5)));
        found |= 1 << read.Int(0);
    }
    return !read.Failed() && found == 3;
}

bool WriteBound(CSqliteDb& db, NameEndSide side, const CNameEndBound& bound)
{
    CSqliteQuery write(db, "UPDATE name_end_bound SET name = ?, program = ?, held = ? WHERE side = ?");
    if (bound.whole)
        write.BindNull(1).BindNull(2);
    else
        write.BindText(1, bound.last.name).Bind(2, bound.last.id);
    return write.Bind(3, static_cast<std::int64_t>(bound.held)).Bind(4, SideValue(side)).Run();
}

// Each adds to or takes from `held` what it changed.
bool AddToSide(CSqliteDb& db, NameEndSide side, CollectionId id, std::size_t& held)
{
    CSqliteQuery add(db, "INSERT INTO name_end(side, program) VALUES(?, ?) ON CONFLICT DO NOTHING");
    if (!add.Bind(1, SideValue(side)).Bind(2, id).Run())
        return false;
    held += static_cast<std::size_t>(sqlite3_changes(db.Handle()));
    return true;
}

bool RemoveFromSide(CSqliteDb& db, NameEndSide side, CollectionId id, std::size_t& held)
{
    CSqliteQuery remove(db, "DELETE FROM name_end WHERE side = ? AND program = ?");
    if (!remove.Bind(1, SideValue(side)).Bind(2, id).Run())
        return false;
    held -= std::min(held, static_cast<std::size_t>(sqlite3_changes(db.Handle())));
    return true;
}

// The order counted from a side's end, for the standard algorithms.
struct CSideOrder {
    NameEndSide side;
    bool operator()(const CNamedProgram& a, const CNamedProgram& b) const { return ComesBefore(side, a, b); }
};

} // namespace

bool ComesBefore(NameEndSide side, const CNamedProgram& a, const CNamedProgram& b)
{
    const CNamedProgram& before = side == NameEndSide::First ? a : b;
    const CNamedProgram& after = side == NameEndSide::First ? b : a;
    const int order = CompareNoCase(before.name, after.name);
    return order != 0 ? order < 0 : before.id < after.id;
}

bool NameEndRows(CSqliteDb& db, NameEndSide side, std::size_t count, std::vector<CollectionId>& ids,
                 std::size_t& shown)
{
    ids.clear();
    shown = 0;
    // The side and the counts as one moment.
    const CSqliteReadTransaction together(db);
    CSqliteQuery bound(db, "SELECT name IS NULL FROM name_end_bound WHERE side = ?");
    if (!bound.Bind(1, SideValue(side)).Next())
        return false;
    const bool whole = bound.Int(0) != 0;

    std::vector<CNamedProgram> programs;
    CSqliteQuery members(db, "SELECT p.id, coalesce(p.user_name, p.first_name) FROM name_end e"
                             " JOIN program p ON p.id = e.program WHERE e.side = ? AND p.hidden = 0");
    members.Bind(1, SideValue(side));
    while (members.Next())
        programs.push_back({members.Int(0), members.Text(1)});
    if (members.Failed() || (!whole && programs.size() < count))
        return false;
    if (whole) {
        shown = programs.size();
    } else {
        // Counted from the table's pages and the hidden programs' index: no row is read.
        CSqliteQuery counts(db, "SELECT (SELECT count(*) FROM program) - (SELECT count(*) FROM program WHERE hidden = 1)");
        if (!counts.Next())
            return false;
        shown = static_cast<std::size_t>(counts.Int(0));
    }

    const std::size_t taken = std::min(count, programs.size());
    std::partial_sort(programs.begin(), programs.begin() + static_cast<std::ptrdiff_t>(taken), programs.end(),
                      CSideOrder{side});
    for (std::size_t i = 0; i < taken; ++i)
        ids.push_back(programs[i].id);
    return true;
}

bool CNameEndsWriter::Start(CSqliteDb& db)
{
    m_waiting.clear();
    m_changed[0] = m_changed[1] = false;
    return ReadBounds(db, m_bounds);
}

bool CNameEndsWriter::Remove(CSqliteDb& db, CollectionId id)
{
    for (const NameEndSide side : SIDES) {
        CNameEndBound& bound = m_bounds[SideValue(side)];
        const std::size_t before = bound.held;
        if (!RemoveFromSide(db, side, id, bound.held))
            return false;
        m_changed[SideValue(side)] = m_changed[SideValue(side)] || bound.held != before;
    }
    return true;
}

void CNameEndsWriter::Add(CollectionId id, const std::string& name)
{
    const CNamedProgram program{id, name};
    for (const NameEndSide side : SIDES)
        if (Inside(side, m_bounds[SideValue(side)], program))
            m_waiting.emplace_back(side, id);
}

bool CNameEndsWriter::Write(CSqliteDb& db)
{
    for (const auto& [side, id] : m_waiting) {
        if (!AddToSide(db, side, id, m_bounds[SideValue(side)].held))
            return false;
        m_changed[SideValue(side)] = true;
    }
    m_waiting.clear();
    for (const NameEndSide side : SIDES) {
        CNameEndBound& bound = m_bounds[SideValue(side)];
        if (!m_changed[SideValue(side)])
            continue;
        m_changed[SideValue(side)] = false;
        if (!(bound.held > 2 * bound.keep ? Narrow(db, side) : WriteBound(db, side, bound)))
            return false;
    }
    return true;
}

bool CNameEndsWriter::Narrow(CSqliteDb& db, NameEndSide side)
{
    std::vector<CNamedProgram> programs;
    std::vector<CollectionId> gone;   // programs no longer in the Collection
    {
        CSqliteQuery members(db, "SELECT e.program, coalesce(p.user_name, p.first_name) FROM name_end e"
                                 " LEFT JOIN program p ON p.id = e.program WHERE e.side = ?");
        members.Bind(1, SideValue(side));
        while (members.Next()) {
            if (members.IsNull(1))
                gone.push_back(members.Int(0));
            else
                programs.push_back({members.Int(0), members.Text(1)});
        }
        if (members.Failed())
            return false;
    }
    CNameEndBound& bound = m_bounds[SideValue(side)];
    if (programs.size() > bound.keep) {
        const auto last = programs.begin() + static_cast<std::ptrdiff_t>(bound.keep - 1);
        std::nth_element(programs.begin(), last, programs.end(), CSideOrder{side});
        for (auto after = last + 1; after != programs.end(); ++after)
            gone.push_back(after->id);
        bound.whole = false;
        bound.last = *last;
    }
    for (const CollectionId id : gone)
        if (!RemoveFromSide(db, side, id, bound.held))
            return false;
    // Counted again here, whatever the count had come to.
    bound.held = std::min(programs.size(), bound.keep);
    return WriteBound(db, side, bound);
}

bool NoteShownName(CSqliteDb& db, CollectionId id)
{
    CSqliteQuery read(db, "SELECT coalesce(user_name, first_name) FROM program WHERE id = ?");
    const bool found = read.Bind(1, id).Next();
    if (read.Failed())
        return false;
    const std::string name = found ? read.Text(0) : std::string();
    CNameEndsWriter writer;
    if (!writer.Start(db) || !writer.Remove(db, id))
        return false;
    if (found)
        writer.Add(id, name);
    return writer.Write(db);
}

bool MakeNameEnds(CSqliteDb& db)
{
    CNameEndBound bounds[2];
    if (!ReadBounds(db, bounds) || !db.Exec("DELETE FROM name_end"))
        return false;
    // Each side's kept programs as a heap with the last of them, counted from its end, on top.
    std::vector<CNamedProgram> kept[2];
    std::size_t total = 0;
    CSqliteQuery programs(db, "SELECT id, coalesce(user_name, first_name) FROM program");
    while (programs.Next()) {
        ++total;
        const CNamedProgram program{programs.Int(0), programs.Text(1)};
        for (const NameEndSide side : SIDES) {
            std::vector<CNamedProgram>& heap = kept[SideValue(side)];
            const CSideOrder lastOnTop{side};
            if (heap.size() == bounds[SideValue(side)].keep) {
                if (!ComesBefore(side, program, heap.front()))
                    continue;
                std::pop_heap(heap.begin(), heap.end(), lastOnTop);
                heap.back() = program;
            } else {
                heap.push_back(program);
            }
            std::push_heap(heap.begin(), heap.end(), lastOnTop);
        }
    }
    if (programs.Failed())
        return false;
    for (const NameEndSide side : SIDES) {
        const std::vector<CNamedProgram>& heap = kept[SideValue(side)];
        CNameEndBound& bound = bounds[SideValue(side)];
        bound.whole = total <= bound.keep;
        if (!bound.whole)
            bound.last = heap.front();
        bound.held = 0;
        for (const CNamedProgram& program : heap)
            if (!AddToSide(db, side, program.id, bound.held))
                return false;
        if (!WriteBound(db, side, bound))
            return false;
    }
    return true;
}
