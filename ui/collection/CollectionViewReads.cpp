// The Collection view's reads: what it asks of the database, where (its reader), and how
// what comes back is shown without emptying the table or moving what is in sight. Once its
// rows are read, the view follows the Collection's change log: only the rows of the
// programs that changed are read again.

#include "CollectionView.h"

#include "CollectionModel.h"
#include "CollectionReader.h"
#include "CollectionTable.h"
#include "CollectionViewRead.h"

#include <QComboBox>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QLineEdit>

#include <algorithm>

namespace {
// The kinds of reads: a newer one of a kind replaces one still waiting.
enum ReadKind { READ_FIRST_ROWS, READ_FILTERS, READ_ROWS, READ_NAMED, READ_CHANGES };

// The rows read first when a filter's rows are new: more than any screen shows.
constexpr int FIRST_ROWS_READ = 256;

bool IsAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The places in `now` of the filters added to `before`, when that is all that changed (and
// they are few and after the three fixed ones); else none.
std::vector<std::size_t> AddedFilters(const std::vector<CCollectionFilter>& before,
                                      const std::vector<CCollectionFilter>& now)
{
    constexpr std::size_t FEW = 64;
    std::vector<std::size_t> added;
    if (before.size() <= 3 || now.size() <= before.size() || now.size() - before.size() > FEW)
        return added;
    const auto same = [](const CCollectionFilter& a, const CCollectionFilter& b) {
        return a.SameAs(b) && a.label == b.label && a.toolTip == b.toolTip;
    };
    std::size_t kept = 0;
    for (std::size_t at = 0; at < now.size(); ++at) {
        if (kept < before.size() && same(before[kept], now[at]))
            ++kept;
        else if (at < 3 || added.size() == FEW)
            return {};
        else
            added.push_back(at);
    }
    return kept == before.size() ? added : std::vector<std::size_t>();
}

std::string LowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}
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

void CCollectionView::ShowChanges(CViewChanges changes, std::uint64_t ticket, const std::string& text)
{
    WhenNotEditing([this, changes = std::make_shared<CViewChanges>(std::move(changes)), ticket, text] {
        if (ticket != m_readTicket)
            return;
        if (!changes->failure.empty()) {
            emit statusMessage("Cannot read the Collection: " + QString::fromStdString(changes->failure));
            return;
        }
        if (changes->whole) {
            ShowRead(std::move(changes->read), m_shownKey, ticket, text);
            return;
        }
        if (changes->withFilters)
            ShowFilters(std::move(changes->filters));
        m_model->SetPlaces(changes->places);
        // Rows marked by another text than the one shown: the next narrowing looks at all.
        if (!changes->rows.empty() && text != m_narrowedText)
            m_narrowKnown = false;
        if (!changes->rows.empty() || !changes->gone.empty())
            KeepingTopRow(
                [&] { m_model->Merge(std::move(changes->rows), changes->gone, std::move(changes->spare)); });
        m_lastChange = std::max(m_lastChange, changes->last);
        ShowState();
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

bool CCollectionView::Editing() const
{
    return m_table->Editing();
}

void CCollectionView::WhenNotEditing(std::function<void()> show)
{
    // A reset or a change of the row under the editor would take the typed name away.
    if (Editing())
        m_held.push_back(std::move(show));
    else
        show();
}

void CCollectionView::OnEditorClosed()
{
    if (Editing())
        return;
    std::vector<std::function<void()>> held = std::move(m_held);
    m_held.clear();
    for (const std::function<void()>& show : held)
        show();
    if (m_checkAfterEdit) {
        m_checkAfterEdit = false;
        CheckForChanges();
    }
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

void CCollectionView::ShowFirstRows(CViewRead read, CShownKey key, std::uint64_t ticket, const std::string& text)
{
    WhenNotEditing([this, read = std::make_shared<CViewRead>(std::move(read)), key, ticket, text] {
        if (read->withFilters)
            ShowFilters(std::move(read->filters));
        // Of no use once a newer read was asked for, or all the rows came.
        if (ticket != m_readTicket || !m_rowsPending)
            return;
        if (!read->failure.empty()) {
            emit statusMessage("Cannot read the Collection: " + QString::fromStdString(read->failure));
            return;
        }
        m_available = true;
        m_model->SetPlaces(read->places);
        ShowSlotColumn(false);
        KeepingSelection([&] { m_model->SetFirstRows(std::move(read->rows), read->total); });
        m_shownKey = key;
        m_shownAny = true;
        // The rows hold only the programs named by the text: the next narrowing looks at all.
        m_narrowKnown = false;
        SizeColumns();
        ShowState();
        if (text != m_search->text().toStdString())
            ReadNamed();
    });
}

void CCollectionView::ShowRead(CViewRead read, CShownKey key, std::uint64_t ticket, const std::string& text)
{
    WhenNotEditing([this, read = std::make_shared<CViewRead>(std::move(read)), key, ticket, text] {
        if (read->withFilters)
            ShowFilters(std::move(read->filters));
        // Rows of a filter left since are of no use; the newer read brings the right ones.
        if (ticket != m_readTicket)
            return;
        m_rowsPending = false;
        if (!read->failure.empty()) {
            // What is shown stays: a failed read is no answer, not an empty one.
            emit statusMessage("Cannot read the Collection: " + QString::fromStdString(read->failure));
            return;
        }
        m_available = true;
        m_lastChange = read->last;
        m_narrowedText = text;
        m_narrowKnown = true;
        m_model->SetPlaces(read->places);
        if (m_shownAny && key == m_shownKey) {
            // The same rows again, some changed: in place, the top row staying in sight.
            KeepingTopRow([&] { m_model->Replace(std::move(read->rows), std::move(read->order)); });
            ShowState();
        } else {
            // The slot column's sort is made while the rows are those of a source or a list
            // (few): after they come, or before they go.
            if (!read->bySlot)
                ShowSlotColumn(false);
            KeepingSelection([&] { m_model->SetRows(std::move(read->rows), read->bySlot, std::move(read->order)); });
            if (read->bySlot)
                ShowSlotColumn(true);
            m_shownKey = key;
            m_shownAny = true;
            SizeColumns();
        }
        ShowState();
        // The text changed while the rows were read: narrowed to the text there is now.
        if (text != m_search->text().toStdString())
            ReadNamed();
        // A mark or rename made here while the rows were read is not in them, and the view
        // took it for shown: what changed since they were read is read again.
        CCollection* collection = Collection();
        if (collection != nullptr && m_lastChange >= 0 && collection->LastChange() > m_lastChange)
            ReadChanged();
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
        auto named = std::make_shared<std::vector<CollectionId>>(collection.ProgramsNamed(text));
        const std::string failure = collection.ReadFailed() ? collection.ReadError() : std::string();
        return [this, named, failure, ticket, text] {
            WhenNotEditing([this, named, failure, ticket, text] {
                if (ticket != m_namedTicket)
                    return;
                if (!failure.empty()) {
                    emit statusMessage("Cannot read the Collection: " + QString::fromStdString(failure));
                    return;
                }
                // A longer text is held only by names that hold the shorter one (letter case
                // ignored): only the rows shown need a look.
                const bool grew = m_narrowKnown && !m_narrowedText.empty() && IsAscii(text)
                                  && IsAscii(m_narrowedText)
                                  && LowerAscii(text).find(LowerAscii(m_narrowedText)) != std::string::npos;
                m_model->Narrow(named.get(), grew);
                m_narrowedText = text;
                m_narrowKnown = true;
                ShowState();
            });
        };
    });
}

void CCollectionView::ShowFilters(std::vector<CCollectionFilter> filters)
{
    // The filter chosen stays chosen while it exists; a tag, source or list that went away
    // falls back to All.
    int chosen = 0;
    for (std::size_t i = 0; i < filters.size(); ++i)
        if (filters[i].SameAs(m_filter))
            chosen = static_cast<int>(i);
    const bool lost = !filters.empty() && !filters[static_cast<std::size_t>(chosen)].SameAs(m_filter);
    // Mostly nothing changed in them: the list stays as it is (a thousand sources are slow to refill).
    const bool same = std::equal(filters.begin(), filters.end(), m_filters.begin(), m_filters.end(),
                                 [](const CCollectionFilter& a, const CCollectionFilter& b) {
                                     return a.SameAs(b) && a.label == b.label && a.toolTip == b.toolTip;
                                 });
    if (same && m_filterBox->count() > 0)
        return;
    auto* items = qobject_cast<QStandardItemModel*>(m_filterBox->model());
    // While files come in, a few sources are added each time: only they go in.
    const std::vector<std::size_t> added =
        items != nullptr && m_filterBox->count() > 3 ? AddedFilters(m_filters, filters) : std::vector<std::size_t>();
    m_filters = std::move(filters);
    if (m_filters.empty())
        return;
    m_filter = m_filters[static_cast<std::size_t>(chosen)];

    const QSignalBlocker block(m_filterBox);
    if (!added.empty()) {
        for (const std::size_t at : added) {   // ascending: each goes where it will stay
            auto* item = new QStandardItem(m_filters[at].label);
            if (!m_filters[at].toolTip.isEmpty())
                item->setToolTip(m_filters[at].toolTip);
            items->insertRow(static_cast<int>(at) + 1, item);   // after the separator
        }
        m_filterBox->setCurrentIndex(chosen < 3 ? chosen : chosen + 1);
        return;
    }
    // In one go, each item made whole before it goes in: ten thousand sources added or
    // changed one at a time cost the window a while.
    if (items != nullptr) {
        QList<QStandardItem*> column;
        column.reserve(static_cast<int>(m_filters.size()));
        for (const CCollectionFilter& filter : m_filters) {
            auto* item = new QStandardItem(filter.label);
            if (!filter.toolTip.isEmpty())
                item->setToolTip(filter.toolTip);
            column.append(item);
        }
        items->clear();
        items->appendColumn(column);
    } else {
        m_filterBox->clear();
        for (const CCollectionFilter& filter : m_filters)
            m_filterBox->addItem(filter.label);
    }
    // A line between the three fixed filters and the tags, sources and lists.
    if (m_filters.size() > 3)
        m_filterBox->insertSeparator(3);
    m_filterBox->setCurrentIndex(chosen < 3 ? chosen : chosen + 1);
    if (lost)
        Read(false);
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
