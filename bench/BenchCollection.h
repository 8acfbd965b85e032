#pragma once
// A Collection made for the benchmarks from the cached dumps (BenchDumpCache.h), with the
// marks a musician gives: 1,000 favourites, 1,000 programs tagged "leads", and a list of 128
// programs, "Live Set".

#include <memory>
#include <string>

class CCollection;

constexpr int BENCH_MARKED_PROGRAMS = 1000;
const char* const BENCH_TAG = "leads";
const char* const BENCH_LIST = "Live Set";

// Makes the Collection at `path` from the first `dumps` cached dumps and marks it. Exits the
// process with a message when that fails.
void MakeBenchCollection(const std::string& path, int dumps);

// Opens a Collection, or exits the process with a message.
std::unique_ptr<CCollection> OpenBenchCollection(const std::string& path);

// A folder for the run's databases, removed at exit.
const std::string& BenchDatabaseFolder();
