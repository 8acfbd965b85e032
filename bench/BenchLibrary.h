#pragma once
// A made-up library for the benchmarks: dump files of 128 programs with varied names, voice
// modes and file names, written once into a temporary folder that is removed at exit.

#include <string>
#include <vector>

constexpr int BENCH_PROGRAMS_PER_DUMP = 128;

// Paths of `count` 128-program dump files (function 0x4C), the same on every call with the
// same count. The file names (without folder and extension) are varied words, so that the
// load order is not already the order of any column.
const std::vector<std::string>& BenchDumpPaths(int count);

// The display name the main window gives such a file among several: its name up to the dot.
std::string BenchDisplayName(const std::string& path);

// Reads each file whole into memory, as the baseline of the reading benchmarks. Returns the
// bytes read.
size_t ReadFilesRaw(const std::vector<std::string>& paths);
