#pragma once
// The pseudo-random numbers behind the random program generator (CProgramList::
// CreateRandomProgram): values 0 to 32767, seeded once per process from a millisecond tick.

// True until the generator has been seeded; the first RandomBetween seeds it and clears it.
extern bool g_randomNeedsSeed;

// low when low equals high, otherwise a value from low + 1 to high (the lower bound is
// excluded). With low = -1 and high = L that is an index from 0 to L (at most 32767).
// Callers pass low <= high.
int RandomBetween(int low, int high);

// Seeds the generator with `seed` now instead of the tick count, for repeatable sequences.
void SeedRandom(unsigned int seed);
