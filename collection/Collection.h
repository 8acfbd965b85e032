#pragma once
// The Collection: every program ever opened or received, kept in one SQLite database.
//
// A program is one sound: its identity is its 254 data bytes without the 12 name bytes.
// A source is one file taken in (path, size, content hash, time, exact bytes), one
// receive from the synthesizer (exact bytes), or a bank saved from the window that held
// sounds the Collection did not have; it records which program sits in which slot. Any
// source can be written out again byte for byte.
//
// One CCollection is one connection; it is used from one thread at a time. Another thread
// or process opens its own (the database runs in WAL mode with a busy timeout).
// Like the rest of the program it throws nothing: what can fail returns false and a text.
// The reads that return their answer (Search, Sources, Tags...) give an empty answer when
// the database fails; ReadFailed() and ReadError() then tell, until the next read.

#include "CollectionBackup.h"
#include "TagList.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using CollectionId = std::int64_t;

enum class SourceKind { File, Synth, Bank, Edited };

struct CCollectionProgram {
    CollectionId id = 0;
    std::string shownName;      // the name last given by the user, else the first seen
    std::string voiceMode;      // "Single", "Split", "Dual" or "Vocoder"
    bool favourite = false;
    bool hidden = false;
    std::vector<std::string> tags;   // sorted, case ignored
    std::string comment;
    int sourceCount = 0;        // distinct sources it appears in
    std::string firstSeen;      // local time, "yyyy-MM-ddThh:mm:ss"
};

// A program as a table of search results shows it: only what a row needs, with nothing
// that has to be formatted or read separately, so that one can be made for every program.
struct CCollectionRow {
    CollectionId id = 0;
    std::string shownName;
    CTagList tags;                      // sorted, case ignored
    std::int64_t firstSeenTime = 0;     // seconds since the epoch
    int sourceCount = 0;
    std::uint8_t voiceModeIndex = 0;    // 0 Single, 1 Split, 2 Dual, 3 Vocoder
    bool favourite = false;
    bool hidden = false;
};

struct CCollectionSource {
    CollectionId id = 0;
    SourceKind kind = SourceKind::File;
    std::string name;           // files: the full path; receives: "Synth yyyy-MM-dd hh:mm:ss";
                                // banks: "Bank \"<list>\" yyyy-MM-dd hh:mm:ss"; a program kept
                                // from the Program Editor: "Edited yyyy-MM-dd hh:mm:ss"
    int programCount = 0;
    std::string takenIn;        // local time, "yyyy-MM-ddThh:mm:ss"
    std::int64_t size = 0;      // bytes
};

// Where a program was first seen: a source and its slot there.
struct CProgramPlace {
    CollectionId program = 0;
    CollectionId source = 0;
    SourceKind kind = SourceKind::File;
    std::string sourceName;     // as CCollectionSource::name gives it
    int slot = 0;               // 0-127: bank letter 'A' + slot / 16, number slot % 16 + 1
};

struct CCollectionList {
    CollectionId id = 0;
    std::string name;
    int programCount = 0;
};

// What a search asks for; empty fields and false flags ask for nothing.
struct CCollectionQuery {
    std::string text;           // a fragment of any name the program was seen with, case ignored
    std::string voiceMode;      // "Single", "Split", "Dual", "Vocoder" or empty for any
    std::string tag;            // case ignored
    bool favouritesOnly = false;
    bool hiddenOnly = false;    // false: hidden programs are left out; true: only them
    CollectionId source = 0;    // programs in this source
    CollectionId list = 0;      // programs in this list
};

// What a merge added to the Collection.
struct CMergeResult {
    int sources = 0;            // sources taken in from the other Collection
    int programs = 0;           // programs the Collection did not have before
    int lists = 0;              // lists added (those kept under another name included)
    // Lists of one name in both with other programs: the other's is kept as "NAME (merged)".
    std::vector<std::pair<std::string, std::string>> renamedLists;   // (its name, the name kept)
};

struct CImportResult {
    CollectionId source = 0;
    int programs = 0;           // programs in the dump
    int newPrograms = 0;        // programs the Collection did not have before
    bool alreadyKnown = false;  // the same content was already a source: nothing added
    int messages = 0;           // SysEx messages in the file; the programs are of every program message
    bool fileRefused = false;   // on failure: the file itself cannot be taken in (not the database's fault)
};

// What changed since a view last looked (ChangesSince).
struct CCollectionChanges {
    std::int64_t last = 0;              // the newest change: what to ask from next time
    bool readAgain = false;             // too much changed, or the log no longer reaches back: read every row
    std::vector<CollectionId> programs; // programs whose row may differ (new ones included), ascending
    bool filtersChanged = false;        // sources, lists or tags were added or removed
};

// What the full check found (FullCheck).
struct CCollectionCheck {
    bool fileIntact = true;                 // SQLite's integrity check passed
    std::vector<std::string> fileProblems;  // its findings, when it did not (the first few)
    std::vector<CCollectionSource> damagedSources;   // sources whose bytes no longer match their hashes
    int sourcesChecked = 0;
    bool Clean() const { return fileIntact && damagedSources.empty(); }
};

enum class SlotChange { Unchanged, Renamed, Changed, RenamedAndChanged };

struct CSlotDifference {
    int slot = 0;               // 0-127: bank letter 'A' + slot / 16, number slot % 16 + 1
    SlotChange change = SlotChange::Unchanged;
    std::string firstName;
    std::string secondName;
};

using CollectionProgramData = std::array<unsigned char, 254>;

// What the synthesizer's memory holds as far as the Collection knows: the programs of its last
// receive of 128 programs, or of the bank sent to it after that receive, with the programs
// written into single slots since.
struct CKnownSynthMemory {
    enum class Base { None, Receive, BankSent };
    Base base = Base::None;                      // None: nothing is known
    std::vector<CollectionProgramData> programs; // 128 in slot order when known
    std::int64_t baseTime = 0;                   // when it was received or sent, seconds since the epoch
    CollectionId receive = 0;                    // the receive's source when the base is a receive
    int slotsWritten = 0;                        // single slots written since the base
    bool IsKnown() const { return base != Base::None; }
};

// Two banks of 128 programs slot by slot, every slot (unchanged ones too): a slot whose
// bytes 12-253 differ is changed, one whose names (bytes 0-11) differ is renamed. Empty
// unless both hold 128 programs.
std::vector<CSlotDifference> CompareSlots(const std::vector<CollectionProgramData>& first,
                                          const std::vector<CollectionProgramData>& second);

class CBackgroundCheckpoints;
class CSqliteDb;
class CSqliteTransaction;
class CSoundIndex;
class CNameIndex;
struct CSearchFilter;

class CCollection {
public:
    // $XDG_DATA_HOME/Veltrix/collection.sqlite, or ~/.local/share/Veltrix/collection.sqlite.
    static std::string DefaultPath();

    // Opens the database at `path`, making it (and its folder) when missing, and migrating an
    // older schema (the file is copied aside first). A damaged file is renamed to
    // "<path>.damaged-yyyyMMdd-hhmmss", `notice` says so, and a new, empty Collection is
    // started. Null, with `error`, when no Collection can be had at all (locked past the
    // timeout, read-only folder...).
    //
    // Before anything is written the file is checked cheaply: a file that is not an SQLite
    // database is refused and left alone (a link is followed to its file); a database of
    // another program (another application_id) is refused and left byte for byte as it was;
    // a database cut short, or whose schema cannot be read, is damaged. After an unclean
    // shutdown (a write-ahead log left with no process using it) the full integrity check runs
    // first. Setting a damaged file aside and starting anew happen under one exclusive lock,
    // with the file checked again under it.
    static std::unique_ptr<CCollection> Open(const std::string& path, std::string& error, std::string& notice);
    // The same for a command that only reads: the file is opened read-only when it is whole
    // and up to date, so a read-only file, folder or disk can still be read, and nothing is
    // written. A missing, older or damaged file is opened as Open opens it (made, migrated, set
    // aside), unless `onlyAsItIs`: then it is an error, and nothing at all is changed (what
    // a check of the file wants).
    static std::unique_ptr<CCollection> OpenForReading(const std::string& path, std::string& error,
                                                       std::string& notice, bool onlyAsItIs = false);
    ~CCollection();

    // Whether the last read (Search, Sources, GetProgram...) failed in the database, and why.
    bool ReadFailed() const { return !m_readError.empty(); }
    const std::string& ReadError() const { return m_readError; }

    // Runs `change` (any of the changing calls below) in one transaction: all of it is kept,
    // or, when it returns false or the commit fails, none of it.
    bool ChangeTogether(const std::function<bool(std::string& error)>& change, std::string& error);

    // Taking in, atomic per call: on failure nothing of it is kept and `error` holds the
    // reader's text (or the database's). `takenAt` is seconds since the epoch (0 = now).
    bool ImportFile(const std::string& path, CImportResult& result, std::string& error, std::int64_t takenAt = 0);
    bool ImportFileBytes(const std::string& path, const std::vector<unsigned char>& bytes, CImportResult& result,
                         std::string& error, std::int64_t takenAt = 0);
    // Taking many files in, many to a transaction (CImportBatch, ImportBatch.h, is how
    // callers do it). From BeginBatch until CommitBatch or AbandonBatch, ImportFile and
    // ImportFileBytes write into one transaction, each file in a savepoint of its own (a file
    // that fails leaves the others as they were); the write lock is taken by the first file
    // that writes, and the index work of them all is done once, at the commit. Nothing of the
    // batch is kept, nor seen by another connection, until CommitBatch returns true; on a
    // false return none of it is.
    // `moreToCome`: other batches follow at once (the sounds' index is then folded less
    // often; the last batch folds as a single import does).
    void BeginBatch();
    bool CommitBatch(std::string& error, bool moreToCome = false);
    void AbandonBatch();
    // How long the batch's transaction has held the write lock, in seconds (0: it holds none).
    double BatchSeconds() const;

    // A receive from the synthesizer, named "Synth yyyy-MM-dd hh:mm:ss" after `takenAt`.
    bool ImportSynthDump(const std::vector<unsigned char>& bytes, CImportResult& result, std::string& error,
                         std::int64_t takenAt = 0);
    // A program made in the window (the Program Editor's Keep in Collection) as a one-program
    // dump, named "Edited yyyy-MM-dd hh:mm:ss" after `takenAt`: kept even when the Collection
    // has the sound already (it then gains the name).
    bool ImportEditedProgram(const std::vector<unsigned char>& dump, CImportResult& result, std::string& error,
                             std::int64_t takenAt = 0);

    // Programs matching `query`, ordered by shown name (case ignored) then id.
    std::vector<CCollectionProgram> Search(const CCollectionQuery& query);
    // The same programs as rows, in the same order; many times quicker for many programs.
    std::vector<CCollectionRow> SearchRows(const CCollectionQuery& query);
    // The first `count` of those rows (the last, in reverse, for `fromEnd`), and how many
    // there are in all: what a table shows first, in one pass that keeps only those.
    std::vector<CCollectionRow> SearchFirstRows(const CCollectionQuery& query, std::size_t count, bool fromEnd,
                                                std::size_t& total);
    // From how many programs on (by their ids' span) SearchFirstRows runs in two halves, side
    // by side; for tests, which have fewer.
    void SetSplitScansFrom(std::int64_t programs);
    // The programs with any name holding `fragment` (case ignored), in ascending order:
    // what the text of a query narrows the other fields' programs to.
    std::vector<CollectionId> ProgramsNamed(const std::string& fragment);
    bool GetProgram(CollectionId id, CCollectionProgram& program);
    // Every name the program was seen with, first seen first.
    std::vector<std::string> ProgramNames(CollectionId id);
    // The program's 254 bytes carrying its shown name (12 bytes, blank padded).
    bool ProgramData(CollectionId id, CollectionProgramData& data);

    // Sources, oldest first.
    std::vector<CCollectionSource> Sources();
    // Exactly the bytes the source was taken in with.
    bool SourceBytes(CollectionId source, std::vector<unsigned char>& bytes);
    // The global block an all-data dump (0x50) carries after its programs; false for others.
    bool SourceGlobalBlock(CollectionId source, std::vector<unsigned char>& bytes);
    // The programs of a source in slot order.
    std::vector<CollectionId> SourcePrograms(CollectionId source);

    // Whether a tag or a program name can be given, before any program is marked: false with
    // the text to show for a tag that is blank, over 40 characters or holds commas or control
    // characters, and for a name that is not 1-12 printable ASCII.
    static bool CheckTag(const std::string& tag, std::string& error);
    static bool CheckName(const std::string& name, std::string& error);

    // Marks. False with `error` for an unknown id or a name that is not 1-12 printable ASCII.
    bool SetFavourite(CollectionId id, bool favourite, std::string& error);
    bool SetHidden(CollectionId id, bool hidden, std::string& error);
    bool AddTag(CollectionId id, const std::string& tag, std::string& error);
    bool RemoveTag(CollectionId id, const std::string& tag, std::string& error);
    // The time of a rename (`renamedAt`, seconds since the epoch, 0 = now) is kept: of a rename
    // here and one in a Collection merged in, the later is shown.
    bool Rename(CollectionId id, const std::string& name, std::string& error, std::int64_t renamedAt = 0);
    bool SetComment(CollectionId id, const std::string& comment, std::string& error);
    std::vector<std::string> Tags();

    // Lists: named, ordered, at most 128 programs. Saving under an existing name replaces it.
    bool SaveList(const std::string& name, const std::vector<CollectionId>& programs, std::string& error);
    // Saves a bank's 128 programs as the list `name`, all or nothing. Each slot's program is
    // found by its sound, and the slot's name is recorded as a name it was seen with. When the
    // bank holds sounds the Collection lacks, the bank becomes a source of its own (kind Bank,
    // named "Bank \"<name>\" yyyy-MM-dd hh:mm:ss" after `savedAt`, 0 = now) and they are added
    // from it; `result` tells that source (0 for none) and how many were new. The list keeps
    // each slot's name, so ListDump gives the bank back byte for byte.
    bool SaveBankAsList(const std::string& name, const std::vector<CollectionProgramData>& programs,
                        CImportResult& result, std::string& error, std::int64_t savedAt = 0);
    std::vector<CCollectionList> Lists();
    std::vector<CollectionId> ListPrograms(CollectionId list);
    bool FindList(const std::string& name, CCollectionList& list);
    // A list of 128 programs as one program dump (0x4C, channel 0), as Save Bank As writes it.
    // Each program carries the name its slot had when the list was saved from a bank, else
    // its shown name.
    bool ListDump(CollectionId list, std::vector<unsigned char>& bytes, std::string& error);

    // The 128 programs of a source holding a bank (a 128-program or an all-data dump) in
    // slot order, with the names they had then. False, with `error`, for an unknown source or
    // one of a single program.
    bool SourceBankPrograms(CollectionId source, std::vector<CollectionProgramData>& programs, std::string& error);

    // Two sources of 128 programs slot by slot: only the slots that differ.
    bool Compare(CollectionId first, CollectionId second, std::vector<CSlotDifference>& differences,
                 std::string& error);

    // The synthesizer's memory. A receive of 128 programs (ImportSynthDump) is the snapshot
    // it starts from; a bank sent to the synthesizer replaces it, and a program written into a
    // slot changes that slot; neither rewrites the receive. `sentAt`/`writtenAt`: seconds
    // since the epoch (0 = now); what was sent in the second a receive ended counts after it.
    bool RecordSynthBankSent(const std::vector<CollectionProgramData>& programs, std::string& error,
                             std::int64_t sentAt = 0);
    bool RecordSynthSlotWritten(int slot, const CollectionProgramData& program, std::string& error,
                                std::int64_t writtenAt = 0);
    // Unknown (and true) when there was neither a receive of 128 programs nor a bank sent.
    bool KnownSynthMemory(CKnownSynthMemory& memory, std::string& error);

    // Changes when any connection (another process too) committed a change since the last
    // call, so a view can tell when to look again.
    std::int64_t ChangeCount();

    // Following changes without reading every row. Every change of a program's marks, names,
    // comment or tags, every source taken in (its programs, new ones too) and every list
    // saved or removed is logged with a number that only grows, by whichever connection or
    // process made it. A view reads every row once, keeps LastChange(), and later asks
    // ChangesSince() for what changed after it: the ids of the programs whose rows to read
    // again with ReadRows(), or readAgain when more than `limit` programs changed or the log
    // (its newest 65,536 changes are kept) no longer reaches back that far. Both read a few
    // rows of an index, whatever the size of the Collection.
    std::int64_t LastChange();
    bool ChangesSince(std::int64_t since, CCollectionChanges& changes, std::size_t limit = 5000);
    // The rows of these programs (hidden ones too), in ascending id; ids that are not
    // programs are left out. False on a failure of the database.
    bool ReadRows(const std::vector<CollectionId>& ids, std::vector<CCollectionRow>& rows);

    // The full check: SQLite's integrity check of the whole file, and every source's bytes
    // against their hashes. Reads the whole file (about 0.35 s for a million programs from
    // the cache); `report` tells what is damaged. False only when the check could not run.
    bool FullCheck(CCollectionCheck& report, std::string& error);
    // Whether a week has passed since the last full check (the window runs one in its idle
    // time then). A full check on a connection that can write notes its time itself; one made
    // elsewhere (read-only) is noted with NoteFullCheck.
    bool FullCheckDue(std::int64_t now = 0);
    bool NoteFullCheck(std::string& error);

    // Makes a wait for another connection's lock give up as soon as `*cancel` is set (the
    // user pressed Ctrl+C), instead of running to its timeout; the step waited for then
    // fails as a locked database does. Null: waits run to their end again.
    void SetCancelFlag(const std::atomic<bool>* cancel);

    // Takes in the Collection at `otherPath` whole: its sources with their names, times and
    // exact bytes (those this one has already are not added again), its programs with every
    // name they were seen with, their renames, favourite and hidden marks, tags and comments,
    // and its lists. Where the two disagree: favourite, hidden and tags are kept from both; a
    // rename made in only one is kept; of a rename in each, the later stays shown and the
    // other stays a name seen (a rename from before renames kept their time counts as the
    // earlier; of two such, this one's stays); comments that differ are both kept, this one's
    // first; a list of one name in both with other programs is kept as "NAME (merged)". The
    // other file is read from a copy, opened as any Collection is (an older one migrated) and
    // checked whole first, so it is never changed. Its programs' sound keys are made with this
    // Collection's key; what it knew of the synthesizer's memory is not taken in. Each source
    // is taken in whole or not at all; stopped part-way (the progress says when), the sources
    // taken in so far stay, and merging again completes it. Merging a Collection with itself,
    // or again, adds nothing.
    CollectionCopyOutcome Merge(const std::string& otherPath, const CCollectionProgress& progress,
                                CMergeResult& result, std::string& error);

    // The first source and slot of each of these programs, in the order asked (unknown ids
    // left out): what tells apart programs without a name.
    std::vector<CProgramPlace> FirstPlaces(const std::vector<CollectionId>& ids);

private:
    explicit CCollection(std::unique_ptr<CSqliteDb> db, std::string registered);
    // Clears the read error at the start of a read; records one on a failure.
    void BeginRead() { m_readError.clear(); }
    void ReadFailure();
    // False, with `error`, on a connection opened for reading only.
    bool CanWrite(std::string& error) const;
    std::vector<CollectionId> SourceProgramsRead(CollectionId source);
    bool TakeIn(SourceKind kind, const std::string& name, const std::vector<unsigned char>& bytes,
                std::int64_t takenAt, CImportResult& result, std::string& error);
    bool TakeInOnce(SourceKind kind, const std::string& name, const std::vector<unsigned char>& bytes,
                    std::int64_t takenAt, CImportResult& result, std::string& error);
    // The WHERE clause and its parameters for `query`.
    CSearchFilter Filter(const CCollectionQuery& query);
    // The first `count` programs of `filter` in the order asked for, found by reading every
    // program's name, and how many it chooses.
    bool ScanFirstRows(const CSearchFilter& filter, std::size_t count, bool fromEnd, std::vector<CollectionId>& ids,
                       std::size_t& total);
    // The id a scan of the programs is split at, when it is worth splitting.
    std::optional<CollectionId> SplitScanAt();

    // The batch's transaction, begun by its first file that writes.
    bool OpenBatchTransaction(std::string& error);
    bool CommitBatchTransaction(std::string& error, bool moreToCome);
    // The page cache back to its size before the batches, once they end.
    void EndBatchCache();

    std::unique_ptr<CSqliteDb> m_db;
    std::unique_ptr<CBackgroundCheckpoints> m_checkpoints;   // while batches follow one another
    bool m_inBatch = false;
    std::unique_ptr<CSqliteTransaction> m_batch;
    std::chrono::steady_clock::time_point m_batchBegan;
    // The page cache's size before batches that follow one another made it larger.
    std::optional<std::int64_t> m_usualCacheSize;
    std::string m_batchError;   // what undid the batch's transaction: the batch has failed
    std::unique_ptr<CSoundIndex> m_sounds;   // made on the first import
    std::unique_ptr<CNameIndex> m_names;     // made on the first search by text
    std::unique_ptr<CSqliteDb> m_sideReader; // reads the second half of a split scan
    std::int64_t m_splitScansFrom = 262144;
    std::string m_readError;
    std::string m_registered;                // the file, as this process counts its users
};
