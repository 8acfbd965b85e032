// How what the Collection view's reads bring back is shown, without emptying the table or moving what is in sight.

#include "CollectionView.h"

#include "CollectionModel.h"
#include "CollectionTable.h"
#include "CollectionViewRead.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <QLineEdit>

#include <algorithm>

namespace {
bool IsAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string LowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
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
}  // namespace

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

void CCollectionView::ShowNamed(std::shared_ptr<const std::vector<CollectionId>> named, const std::string& failure,
                                std::uint64_t ticket, const std::string& text)
{
    WhenNotEditing([this, named = std::move(named), failure, ticket, text] {
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
