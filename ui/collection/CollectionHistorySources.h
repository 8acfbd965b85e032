#pragma once
// What the History window compares: every bank of 128 programs Veltrix can reach. The bank
// the bank pane holds, then the Collection's sources of 128 programs, newest first (the
// synthesizer's receives, files taken in, banks saved from the window), then its lists of
// 128 programs (banks saved as lists).

#include "Collection.h"

#include <QString>

#include <string>
#include <vector>

class IBankAccess;

struct CHistoryEntry {
    enum class Kind { Bank, Source, List };
    Kind kind = Kind::Bank;
    CollectionId id = 0;                       // the source's or the list's
    SourceKind sourceKind = SourceKind::File;  // for Source
    QString label;                             // "The bank (Live.syx)", "Synth 2026-12-08 14:32:10",
                                               // "File: bank.syx", "List: Live set"
    QString toolTip;                           // a file's full path

    bool SameAs(const CHistoryEntry& other) const { return kind == other.kind && id == other.id; }
    bool IsReceive() const { return kind == Kind::Source && sourceKind == SourceKind::Synth; }
};

// Every entry offered now; `collection` and `bank` may be null.
std::vector<CHistoryEntry> HistoryEntries(CCollection* collection, IBankAccess* bank);

// The two entries the window starts with (indexes into `entries`, -1 when there are none).
// Asked for one (`asked`, may be null): that one first. Else the receive before the newest
// (the only receive when there is one), else the source before the newest (or the only
// one), else the first list, else the bank. Second: the newest other entry of the first's
// kind (a receive for a receive, a file for a file...), else the bank, else the first other
// entry; the first itself when it is the only one.
void ChooseHistoryPair(const std::vector<CHistoryEntry>& entries, const CHistoryEntry* asked, int& first,
                       int& second);

// The 128 programs of an entry in slot order, with the names they had there. False, with
// `error`, when they cannot be had (the bank gone, the Collection unusable, a list no
// longer 128 programs).
bool HistoryEntryPrograms(const CHistoryEntry& entry, CCollection* collection, IBankAccess* bank,
                          std::vector<CollectionProgramData>& programs, std::string& error);
