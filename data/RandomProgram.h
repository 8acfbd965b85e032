#pragma once
// The random program generator over an ordered set of records (the whole library for
// CProgramList::CreateRandomProgram, the selected rows for Random from Selection), and the
// pseudo-random numbers behind it: values 0 to 32767, seeded once per process from a
// millisecond tick.

#include <vector>

class CSyxProgram;

// A new program put together from parts of `records`, taken in their order: sources are the
// records before the first one with a placeholder name, never a Vocoder program. The caller
// deletes it; nullptr when no record there can be a source.
CSyxProgram* CreateRandomProgramFrom(const CSyxProgram* const* records, int count);
CSyxProgram* CreateRandomProgramFrom(const std::vector<const CSyxProgram*>& records);

// The data of a record drawn at random among positions 0 to `last`, never a Vocoder program;
// nullptr when no such record can be drawn there.
const unsigned char* PickRandomSourceFrom(const CSyxProgram* const* records, int count, int last);

// True until the generator has been seeded; the first RandomBetween seeds it and clears it.
extern bool g_randomNeedsSeed;

// low when low equals high, otherwise a value from low + 1 to high (the lower bound is
// excluded). With low = -1 and high = L that is an index from 0 to L (at most 32767).
// Callers pass low <= high.
int RandomBetween(int low, int high);

// Seeds the generator with `seed` now instead of the tick count, for repeatable sequences.
void SeedRandom(unsigned int seed);
