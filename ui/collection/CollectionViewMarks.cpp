// The marks, tags and names the Collection view changes: each one a step of its undo stack,
// written to the database at once and shown by changing the rows of its programs where
// they are (nothing is read again).

#include "CollectionView.h"

#include "CollectionModel.h"
#include "CollectionTable.h"
#include "CollectionUndo.h"

#include <QUndoStack>

#include <algorithm>
#include <strings.h>

namespace {
bool HasTag(const std::vector<std::string>& tags, const std::string& tag)
{
    return std::any_of(tags.begin(), tags.end(),
                       [&tag](const std::string& t) { return strcasecmp(t.c_str(), tag.c_str()) == 0; });
}

// The program's tags after the change, sorted as the Collection gives them.
std::vector<std::string> ChangedTags(std::vector<std::string> tags, const std::vector<std::string>& added,
                                     const std::vector<std::string>& removed)
{
    tags.erase(std::remove_if(tags.begin(), tags.end(), [&removed](const std::string& t) { return HasTag(removed, t); }),
               tags.end());
    for (const std::string& tag : added)
        if (!HasTag(tags, tag))
            tags.push_back(tag);
    std::sort(tags.begin(), tags.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return tags;
}

QString Programs(std::size_t count)
{
    return count == 1 ? QString("1 program") : QString("%1 programs").arg(count);
}
}  // namespace

bool CCollectionView::PushChange(const QString& text, std::vector<CProgramChange> changes)
{
    if (changes.empty())
        return true;
    std::string error;
    const bool written = ApplyChanges(changes, false, error);
    if (!written) {
        emit statusMessage(QString::fromStdString(error));
        return false;
    }
    m_undo->push(new CCollectionChangeCommand(*this, text, std::move(changes)));
    return true;
}

bool CCollectionView::SetFavourite(const std::vector<CCollectionRow>& programs, bool favourite)
{
    std::vector<CProgramChange> changes;
    for (const CCollectionRow& program : programs) {
        if (program.favourite == favourite)
            continue;
        CProgramChange& change = changes.emplace_back(CProgramChange{program, program, m_model->RowsOf(program)});
        change.after.favourite = favourite;
    }
    const std::size_t count = changes.size();
    return PushChange(QString(favourite ? "Favourite %1" : "Unmark %1 as favourite").arg(Programs(count)),
                      std::move(changes));
}

bool CCollectionView::SetHidden(const std::vector<CCollectionRow>& programs, bool hidden)
{
    std::vector<CProgramChange> changes;
    for (const CCollectionRow& program : programs) {
        if (program.hidden == hidden)
            continue;
        CProgramChange& change = changes.emplace_back(CProgramChange{program, program, m_model->RowsOf(program)});
        change.after.hidden = hidden;
    }
    const std::size_t count = changes.size();
    return PushChange(QString(hidden ? "Hide %1" : "Unhide %1").arg(Programs(count)), std::move(changes));
}

bool CCollectionView::ChangeTags(const std::vector<CCollectionRow>& programs, const std::vector<std::string>& added,
                                 const std::vector<std::string>& removed)
{
    std::vector<CProgramChange> changes;
    for (const CCollectionRow& program : programs) {
        std::vector<std::string> tags = ChangedTags(program.tags, added, removed);
        if (tags == program.tags)
            continue;
        CProgramChange& change = changes.emplace_back(CProgramChange{program, program, m_model->RowsOf(program)});
        change.after.tags = std::move(tags);
    }
    const std::size_t count = changes.size();
    return PushChange(QString("Tags of %1").arg(Programs(count)), std::move(changes));
}

bool CCollectionView::Rename(CollectionId id, const std::string& name, std::string& error)
{
    // Usually the row being renamed is the current one.
    const CCollectionRow* current = m_model->Program(m_table->currentIndex().row());
    const int row = current != nullptr && current->id == id ? m_table->currentIndex().row() : m_model->RowOf(id);
    const CCollectionRow* program = m_model->Program(row);
    const std::vector<CViewRow> rows = program != nullptr ? m_model->RowsOf(*program) : std::vector<CViewRow>();
    if (rows.empty()) {
        error = "The program is no longer shown.";
        return false;
    }
    CProgramChange change{rows.front().program, rows.front().program, rows};
    change.after.shownName = name;
    std::vector<CProgramChange> changes{change};
    if (!ApplyChanges(changes, false, error))
        return false;
    const QString before = m_model->ShownName(change.before);
    const QString after = QString::fromLatin1(name.c_str());
    m_undo->push(new CCollectionChangeCommand(*this, QString("Rename \"%1\"").arg(before), std::move(changes)));
    emit statusMessage(QString("Renamed \"%1\" to \"%2\"").arg(before, after));
    return true;
}

bool CCollectionView::WriteState(CCollection& collection, const CCollectionRow& from, const CCollectionRow& to,
                                 std::string& error)
{
    if (from.favourite != to.favourite && !collection.SetFavourite(to.id, to.favourite, error))
        return false;
    if (from.hidden != to.hidden && !collection.SetHidden(to.id, to.hidden, error))
        return false;
    for (const std::string& tag : from.tags)
        if (!HasTag(to.tags, tag) && !collection.RemoveTag(to.id, tag, error))
            return false;
    for (const std::string& tag : to.tags)
        if (!HasTag(from.tags, tag) && !collection.AddTag(to.id, tag, error))
            return false;
    if (from.shownName != to.shownName) {
        // A program that came without a name cannot be given none again.
        if (to.shownName.empty()) {
            error = "The program came without a name, and a name cannot be taken away again.";
            return false;
        }
        if (!collection.Rename(to.id, to.shownName, error))
            return false;
    }
    return true;
}

bool CCollectionView::ApplyChanges(const std::vector<CProgramChange>& changes, bool undoing, std::string& error)
{
    CCollection* collection = Collection();
    if (collection == nullptr) {
        error = "The Collection cannot be used now.";
        return false;
    }
    const std::int64_t countBefore = collection->ChangeCount();
    const std::int64_t lastBefore = collection->LastChange();
    const int currentRow = m_table->currentIndex().row();
    std::vector<CollectionId> gone;
    std::vector<CViewRow> back;
    bool written = true;
    for (const CProgramChange& change : changes) {
        const CCollectionRow& from = undoing ? change.after : change.before;
        const CCollectionRow& to = undoing ? change.before : change.after;
        if (!WriteState(*collection, from, to, error)) {
            written = false;
            break;
        }
        const bool kept = m_model->UpdateProgram(from, [&to](CCollectionRow& row) {
            row.shownName = to.shownName;
            row.favourite = to.favourite;
            row.hidden = to.hidden;
            row.tags = to.tags;
        });
        // A mark can take a program out of the filter (Hide under All) or bring it back in (an
        // Undo of that): its rows go, or come back where they were.
        if (!m_filter.Keeps(to)) {
            if (kept)
                gone.push_back(to.id);
        } else if (!kept) {
            for (CViewRow row : change.rows) {
                row.program = to;
                back.push_back(std::move(row));
            }
        }
    }
    if (!gone.empty() || !back.empty()) {
        KeepingTopRow([&] { m_model->Merge(std::move(back), gone); });
        // The keyboard stays in the rows: on the one that took the place of the one gone.
        if (!m_table->currentIndex().isValid() && m_model->rowCount() > 0)
            m_table->selectionModel()->setCurrentIndex(
                m_model->index(std::clamp(currentRow, 0, m_model->rowCount() - 1), 0), QItemSelectionModel::NoUpdate);
        ShowState();
    }
    NoteOwnChange(countBefore, lastBefore);
    emit changedCollection();
    return written;
}
