#pragma once
// The sound index as the database holds it: (key, program) pairs sorted by key, then program,
// in blocks of a few hundred, one row of the table `sound_block` each, keyed by its lowest
// key. A row per block rather than per program: folding new programs in rewrites a few
// thousand rows in key order instead of inserting each program into a tree at a random place.
// Keys are compared as the signed 64-bit integers SQLite stores; a run of one key is never
// cut between two blocks, so that a key's programs are all in the block it falls in.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class CSqliteDb;

using SoundPair = std::pair<std::int64_t, std::int64_t>;   // key, program

// The pairs of the index whose keys are among `sortedKeys` (sorted, signed), added to `found`.
bool FindSoundPairs(CSqliteDb& db, const std::vector<std::int64_t>& sortedKeys, std::vector<SoundPair>& found);
// Merges `sortedPairs` (sorted, none in the index yet) into the index; inside a transaction.
bool MergeSoundPairs(CSqliteDb& db, const std::vector<SoundPair>& sortedPairs);
// Calls `each` with every key in the index, in order.
bool ForEachSoundKey(CSqliteDb& db, const std::function<void(std::int64_t key)>& each);
