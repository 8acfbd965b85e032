#pragma once
// The size the Collection's benchmarks work at: 1,000 dumps (128,000 programs) in the normal
// run, 10,000 (1,280,000 programs, a lifetime's collection) when VELTRIX_BENCH_BIG is set, as
// `bash scripts/bench.sh --big` sets it. Some limits differ between the two.

#include <cstdlib>
#include <string>

inline bool BenchBig()
{
    const char* big = std::getenv("VELTRIX_BENCH_BIG");
    return big != nullptr && *big != '\0' && std::string(big) != "0";
}

// `normal` in the normal run, `big` in the big one.
template <typename T>
T BenchScaled(T normal, T big)
{
    return BenchBig() ? big : normal;
}

inline int CollectionBenchDumpCount()
{
    return BenchScaled(1000, 10000);
}

// A benchmark's name as Google Benchmark prints it with a fixed number of iterations.
inline std::string WithIterations(const std::string& name, int iterations)
{
    return name + "/iterations:" + std::to_string(iterations);
}
