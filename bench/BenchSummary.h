#pragma once
// Runs the registered benchmarks with the usual console output, then prints each check: a
// measured figure against its baseline from the same run (as a ratio) and against its limits.

#include <string>
#include <vector>

struct CBenchCheck {
    std::string title;
    std::string measured;       // benchmark name, as printed in its output
    std::string baseline;       // benchmark name of the baseline; empty for none
    std::string baselineCounter; // or, when set, this counter of `measured`, in milliseconds
    std::string measuredCounter; // when set, the figure measured is this counter, in milliseconds
    double maxRatio = 0;        // measured time / baseline time at most this; 0 for no limit
    double maxMilliseconds = 0; // measured time below this; 0 for no limit
    std::string counter;        // when set, the check is on this counter of `measured`...
    double maxCounter = 0;      // ...which must stay below this (0: told, with no limit)
    std::string counterUnit;
};

// A time against a baseline and an absolute limit (0 for none).
CBenchCheck TimeCheck(const std::string& title, const std::string& measured,
                      const std::string& baseline, double maxRatio, double maxMilliseconds);
// A time against a baseline timed in the same iterations, told in a counter of milliseconds.
CBenchCheck TimeAgainstCounterCheck(const std::string& title, const std::string& measured,
                                    const std::string& baselineCounter, double maxRatio);
// A figure a benchmark tells in a counter of milliseconds (a median, say) against another of
// its counters, as TimeAgainstCounterCheck.
CBenchCheck CounterAgainstCounterCheck(const std::string& title, const std::string& measured,
                                       const std::string& measuredCounter, const std::string& baselineCounter,
                                       double maxRatio);
// A counter of a benchmark against a limit.
CBenchCheck CounterCheck(const std::string& title, const std::string& measured,
                         const std::string& counter, double maxCounter, const std::string& unit);

// Initializes Google Benchmark from the command line, runs the benchmarks and prints the
// checks whose benchmarks ran. Returns 0, or 1 when the command line was not understood.
int RunBenchmarksWithChecks(int argc, char** argv, const std::vector<CBenchCheck>& checks);
