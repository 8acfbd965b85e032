#include "CollectionHistorySources.h"

#include "Bank.h"
#include "host/BankAccess.h"

#include <QFileInfo>

#include <algorithm>

namespace {
bool IsEntry(const std::vector<CHistoryEntry>& entries, int index)
{
    return index >= 0 && index < static_cast<int>(entries.size());
}

// The kind of entry a second choice is looked for among: a receive, a file, a saved bank, a list.
bool SameKind(const CHistoryEntry& one, const CHistoryEntry& two)
{
    return one.kind == two.kind && (one.kind != CHistoryEntry::Kind::Source || one.sourceKind == two.sourceKind);
}
}  // namespace

std::vector<CHistoryEntry> HistoryEntries(CCollection* collection, IBankAccess* bank)
{
    std::vector<CHistoryEntry> entries;
    if (bank != nullptr && bank->HasBank())
        entries.push_back({CHistoryEntry::Kind::Bank, 0, SourceKind::File, "The bank (" + bank->BankName() + ")", {}});
    if (collection == nullptr)
        return entries;
    std::vector<CCollectionSource> sources = collection->Sources();
    std::reverse(sources.begin(), sources.end());   // newest first
    for (const CCollectionSource& source : sources) {
        if (source.programCount != BANK_SLOT_COUNT)
            continue;
        const QString name = QString::fromStdString(source.name);
        CHistoryEntry entry{CHistoryEntry::Kind::Source, source.id, source.kind, name, {}};
        if (source.kind == SourceKind::File) {
            entry.label = "File: " + QFileInfo(name).fileName();
            entry.toolTip = name;
        }
        entries.push_back(entry);
    }
    for (const CCollectionList& list : collection->Lists())
        if (list.programCount == BANK_SLOT_COUNT)
            entries.push_back({CHistoryEntry::Kind::List, list.id, SourceKind::File,
                               "List: " + QString::fromStdString(list.name), {}});
    return entries;
}

void ChooseHistoryPair(const std::vector<CHistoryEntry>& entries, const CHistoryEntry* asked, int& first,
                       int& second)
{
    std::vector<int> receives, sources, lists;
    int bank = -1;
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const CHistoryEntry& entry = entries[static_cast<std::size_t>(i)];
        if (entry.kind == CHistoryEntry::Kind::Bank)
            bank = i;
        else if (entry.kind == CHistoryEntry::Kind::List)
            lists.push_back(i);
        else
            sources.push_back(i);
        if (entry.IsReceive())
            receives.push_back(i);
    }
    const auto beforeNewest = [](const std::vector<int>& newestFirst) {
        return newestFirst.empty() ? -1 : newestFirst[std::min<std::size_t>(1, newestFirst.size() - 1)];
    };
    first = -1;
    if (asked != nullptr)
        for (int i = 0; i < static_cast<int>(entries.size()); ++i)
            if (entries[static_cast<std::size_t>(i)].SameAs(*asked))
                first = i;
    if (first < 0)
        first = !receives.empty() ? beforeNewest(receives)
            : !sources.empty()    ? beforeNewest(sources)
            : !lists.empty()      ? lists[0]
                                  : bank;
    second = first;
    if (!IsEntry(entries, first))
        return;
    const CHistoryEntry& chosen = entries[static_cast<std::size_t>(first)];
    for (int i = 0; i < static_cast<int>(entries.size()); ++i)
        if (i != first && SameKind(entries[static_cast<std::size_t>(i)], chosen)) {
            second = i;
            return;
        }
    if (bank >= 0 && bank != first) {
        second = bank;
        return;
    }
    for (int i = 0; i < static_cast<int>(entries.size()); ++i)
        if (i != first) {
            second = i;
            return;
        }
}

bool HistoryEntryPrograms(const CHistoryEntry& entry, CCollection* collection, IBankAccess* bank,
                          std::vector<CollectionProgramData>& programs, std::string& error)
{
    programs.clear();
    if (entry.kind == CHistoryEntry::Kind::Bank) {
        const CBank* held = bank != nullptr ? bank->Bank() : nullptr;
        if (held == nullptr) {
            error = "The bank pane holds no bank any more.";
            return false;
        }
        for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
            programs.push_back(held->GetProgram(slot));
        return true;
    }
    if (collection == nullptr) {
        error = "The Collection cannot be used now.";
        return false;
    }
    if (entry.kind == CHistoryEntry::Kind::Source)
        return collection->SourceBankPrograms(entry.id, programs, error);
    std::vector<unsigned char> dump;
    if (!collection->ListDump(entry.id, dump, error))
        return false;
    const std::optional<CBank> list = CBank::ReadBytes(dump.data(), dump.size(), error);
    if (!list) {
        error = "The list chosen no longer holds 128 programs.";
        return false;
    }
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        programs.push_back(list->GetProgram(slot));
    return true;
}
