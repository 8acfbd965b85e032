// What the Collection view asks its reader for, and when: the rows, the names the search text holds, what changed.

#include "CollectionView.h"

#include "CollectionModel.h"
#include "CollectionReader.h"
#include "CollectionTable.h"
#include "CollectionViewRead.h"

#include <QHeaderView>
#include <QLineEdit>

#include <algorithm>

namespace {
// The kinds of reads: a newer one of a kind replaces one still waiting.
enum ReadKind { READ_FIRST_ROWS, READ_FILTERS, READ_ROWS, READ_NAMED, READ_CHANGES };

// The rows read first when a filter's rows are new: more than any screen shows.
constexpr int FIRST_ROWS_READ = 256;
}  // namespace

void CCollectionView::Refresh()
{
    // A hidden view asks nothing of the database: it looks again when it is shown.
    if (!isVisible()) {
        m_changeCount = -1;
        return;
    }
    CCollection* collection = Collection();
    if (collection == nullptr)
        return;
    m_available = true;
    m_changeCount = collection->ChangeCount();
    Read(true);
}

bool CCollectionView::CheckForChanges()
{
    CCollection* collection = Collection();
    const bool available = collection != nullptr;
    if (available != m_available) {
        m_available = available;
        ShowState();
    }
    if (collection == nullptr || !isVisible())
        return false;
    if (Editing()) {   // looked at again once the name is done
        m_checkAfterEdit = true;
        return false;
    }
    // Asked of the window's connection, which answers at once; what changed is read apart.
    const std::int64_t count = collection->ChangeCount();
    if (count == m_changeCount)
        return false;
    m_changeCount = count;
    if (!m_shownAny || m_lastChange < 0 || m_rowsPending)
        Read(true);   // a read of every row is coming anyway
    else
        ReadChanged();
    return true;
}

void CCollectionView::ReadChanged()
{
    CViewQuery query;
    query.filter = m_filter;
    query.voiceMode = m_voiceMode;
    query.text = m_search->text().toStdString();
    query.sortColumn = m_model->SortColumn();
    query.sortOrder = m_model->SortOrder();
    const std::int64_t since = m_lastChange;
    // Of the rows read last: a newer read of rows (another filter) makes it of no use.
    const std::uint64_t ticket = m_readTicket;
    const std::size_t kept = m_model->KeptRows();
    const std::size_t capacity = m_model->KeptCapacity();
    m_reader->Post(READ_CHANGES, [this, query, since, ticket, kept, capacity](CCollection& collection)
                                     -> CCollectionReader::Outcome {
        auto changes = std::make_shared<CViewChanges>(ReadChanges(collection, query, since, kept, capacity));
        return [this, changes, ticket, text = query.text] { ShowChanges(std::move(*changes), ticket, text); };
    });
}

void CCollectionView::WaitForReads()
{
    m_reader->WaitUntilIdle();
}

void CCollectionView::NoteOwnChange(std::int64_t countBefore, std::int64_t lastBefore)
{
    // What the view wrote is in its rows already; anything that came from elsewhere before
    // it is still to be read.
    CCollection* collection = Collection();
    if (collection == nullptr)
        return;
    if (countBefore == m_changeCount)
        m_changeCount = collection->ChangeCount();
    if (m_lastChange >= 0 && lastBefore == m_lastChange)
        m_lastChange = collection->LastChange();
}

void CCollectionView::Read(bool filtersToo)
{
    CViewQuery query;
    query.filter = m_filter;
    query.voiceMode = m_voiceMode;
    query.text = m_search->text().toStdString();
    query.filtersToo = filtersToo;
    // The order the rows will be shown in: a source's or a list's slots come by slot, the
    // other filters' programs by name when the slots' order was chosen for a source.
    query.sortColumn = m_model->SortColumn();
    query.sortOrder = m_model->SortOrder();
    if (m_filter.ShowsSlots() && !m_model->HasSlots()) {
        query.sortColumn = CCollectionModel::SLOT;
        query.sortOrder = Qt::AscendingOrder;
    } else if (!m_filter.ShowsSlots() && query.sortColumn == CCollectionModel::SLOT) {
        query.sortColumn = CCollectionModel::NAME;
        query.sortOrder = Qt::AscendingOrder;
    }
    const CShownKey key{m_filter, m_voiceMode};
    const bool sameRows = m_shownAny && key == m_shownKey;
    // Only rows that replace those shown need their keys, to find the selection's rows.
    query.keys = sameRows;
    const std::uint64_t ticket = ++m_readTicket;
    ++m_namedTicket;   // the text is read with the rows
    m_rowsPending = true;
    m_pendingSortColumn = query.sortColumn;
    m_pendingSortOrder = query.sortOrder;
    // New rows read apart come in two reads: those in sight first, with how many there are,
    // quickly; then all of them, which replace those without moving them.
    if (!sameRows && m_reader->ReadsApart() && CanReadFirstRows(query)) {
        CViewQuery first = query;
        first.filtersToo = false;   // read after the rows, before the rest of them
        query.filtersToo = false;
        query.keys = true;
        const std::size_t count = static_cast<std::size_t>(
            std::max(FIRST_ROWS_READ, 2 * m_table->viewport()->height() / std::max(1, m_table->verticalHeader()->defaultSectionSize())));
        m_reader->Post(READ_FIRST_ROWS, [this, first, key, ticket, count](CCollection& collection) -> CCollectionReader::Outcome {
            auto read = std::make_shared<CViewRead>(ReadFirstRows(collection, first, count));
            return [this, read, key, ticket, text = first.text] { ShowFirstRows(std::move(*read), key, ticket, text); };
        });
        if (filtersToo)
            m_reader->Post(READ_FILTERS, [this](CCollection& collection) -> CCollectionReader::Outcome {
                auto filters = std::make_shared<CViewRead>();
                filters->filters = CollectionFilters(collection, &filters->failure);
                return [this, filters] {
                    WhenNotEditing([this, filters] {
                        if (filters->failure.empty())
                            ShowFilters(std::move(filters->filters));
                    });
                };
            });
    }
    m_reader->Post(READ_ROWS, [this, query, key, ticket](CCollection& collection) -> CCollectionReader::Outcome {
        auto read = std::make_shared<CViewRead>(ReadView(collection, query));
        return [this, read, key, ticket, text = query.text] { ShowRead(std::move(*read), key, ticket, text); };
    });
}

void CCollectionView::OnSortChanged()
{
    // Rows on their way in another order would be sorted again on the window's thread: they
    // are read again in this one instead.
    if (m_rowsPending && (m_model->SortColumn() != m_pendingSortColumn || m_model->SortOrder() != m_pendingSortOrder))
        Read(false);
}

void CCollectionView::ReadNamed()
{
    const std::string text = m_search->text().toStdString();
    const std::uint64_t ticket = ++m_namedTicket;
    if (text.empty()) {
        m_model->Narrow(nullptr);
        m_narrowedText.clear();
        m_narrowKnown = true;
        ShowState();
        return;
    }
    m_reader->Post(READ_NAMED, [this, text, ticket](CCollection& collection) -> CCollectionReader::Outcome {
        auto named = std::make_shared<const std::vector<CollectionId>>(collection.ProgramsNamed(text));
        const std::string failure = collection.ReadFailed() ? collection.ReadError() : std::string();
        return [this, named, failure, ticket, text] { ShowNamed(named, failure, ticket, text); };
    });
}

bool CCollectionView::TakeChangeCount()
{
    CCollection* collection = Collection();
    if (collection == nullptr)
        return false;
    const std::int64_t count = collection->ChangeCount();
    const bool changed = count != m_changeCount;
    m_changeCount = count;
    return changed;
}

void CCollectionView::OnFilterChosen(int index)
{
    // The separator after the third entry shifts the others by one.
    const int filter = index > 3 ? index - 1 : index;
    if (filter < 0 || filter >= static_cast<int>(m_filters.size()))
        return;
    m_filter = m_filters[static_cast<std::size_t>(filter)];
    // Other rows: read whole, with the filters too when anything changed meanwhile.
    Read(TakeChangeCount());
}

void CCollectionView::OnModeChosen(int index)
{
    m_voiceMode = index <= 0 ? ANY_VOICE_MODE : index - 1;
    Read(TakeChangeCount());
}

void CCollectionView::OnSearchChanged()
{
    // What changed comes first, then the rows are narrowed to the new text.
    CheckForChanges();
    ReadNamed();
}
