#pragma once
// A lifetime's archive of made-up dumps for the Collection's benchmarks: 128-program dump
// files (function 0x4C) of distinct sounds, with names and file names such as musicians give
// them ("Warm Pad 3", "ACID BASS", "Crystal Keys"; "Trance Leads 0421.syx" in folders of a
// hundred). The files are made once into a cache folder that stays between runs, so that a
// run at 1,280,000 programs does not spend minutes writing them first:
// $VELTRIX_BENCH_CACHE, else $XDG_CACHE_HOME/veltrix-bench, else ~/.cache/veltrix-bench.
//
// Dump N is the same in every run and on every machine (its programs come from a generator
// seeded by N alone), so the first 1,000 of the 10,000 dumps of the big run are the 1,000
// of the normal run, and the two runs' figures can be compared.

#include <string>
#include <vector>

constexpr int CACHED_PROGRAMS_PER_DUMP = 128;
// In one program of a hundred (by its place in the archive) a name holds "Crystal", which no
// other name holds: the fragment a search matching 1% of the Collection looks for.
const char* const CACHED_ONE_PERCENT_FRAGMENT = "crystal";

// The cache folder (made when missing).
std::string BenchCacheFolder();

// Paths of dumps first to first + count - 1, made when missing. Exits the process with a
// message when the folder cannot be written.
std::vector<std::string> CachedBenchDumps(int first, int count);

// The 254 bytes of program `index` of the archive (dump index / 128, slot index % 128): what
// the dump files hold, for checks that need no file.
std::vector<unsigned char> CachedBenchProgram(long index);
