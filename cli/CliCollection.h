#pragma once
// What the commands on the Collection share: opening it, and finding a source from what the
// user typed.
#include "Collection.h"

#include <memory>
#include <string>
#include <vector>

struct CCliContext;
struct CCliOptions;

// The database a command uses: --collection FILE, else the context's, else the default place.
std::string CliCollectionPath(const CCliOptions& options, const CCliContext& context);

// Opens the Collection. A damaged file set aside is told on stderr, and the command goes on
// with the new, empty Collection. Null, after saying why on stderr, when it cannot be used.
// A command that only reads opens it `forReading`: a read-only Collection can be read, and
// nothing is written; `asItIs` (check) changes nothing at all, not even a damaged file.
std::unique_ptr<CCollection> OpenCliCollection(const CCliOptions& options, CCliContext& context,
                                               bool forReading = false, bool asItIs = false);

// After a read: false, having said why on stderr, when the database failed.
bool ReadSucceeded(const CCollection& collection, CCliContext& context);

// Whether writing `output` would land on the database at `collectionPath` or on a file SQLite
// keeps beside it (-wal, -shm, -journal), through any spelling of the path, a symbolic link
// or a hard link. When it would, `error` says so.
bool WritesOverCollection(const std::string& collectionPath, const std::string& output, std::string& error);

// A program's or a source's id as veltrix-cli prints it: a positive decimal number.
bool ParseCollectionId(const std::string& text, CollectionId& id);

// A source by its id, as `sources` prints it (its full path, or "Synth yyyy-MM-dd hh:mm:ss",
// escaped or not), a path to a file taken in, or a file name alone when only one source has
// it. An id always wins: a source is named for sure by it. False with an `error` naming the
// candidates with their ids when there is no such source or more than one.
bool FindSource(const std::vector<CCollectionSource>& sources, const std::string& text, CCollectionSource& source,
                std::string& error);

// "A", "001": the bank and number `list` prints for a slot of 0 to 127.
std::string SlotBank(int slot);
std::string SlotNumber(int slot);

// `receive` takes what it received into the Collection as a synth source, unless
// --no-collection. Never fails the receive: a Collection that cannot be used is a warning.
void TakeReceivedDumpIn(const CCliOptions& options, CCliContext& context, const std::vector<unsigned char>& bytes);

// After a write or a bank send, the Collection's idea of the synthesizer's memory follows:
// the program of 254 bytes at `program` is in `slot` (0-127) now, or the 128 programs of
// `bank` are its memory. Never fails the command, whose work is done: a Collection that
// cannot be used is a warning.
void NoteSynthSlotWritten(const CCliOptions& options, CCliContext& context, int slot, const unsigned char* program);
void NoteSynthBankSent(const CCliOptions& options, CCliContext& context, const std::vector<CollectionProgramData>& bank);
