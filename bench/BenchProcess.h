#pragma once
// Whole processes for the benchmarks: a program run with its arguments, its output thrown
// away, timed from start to end, with the most memory it held.

#include <string>
#include <vector>

struct CProcessRun {
    int exitCode = -1;          // -1 when it did not end by itself
    double milliseconds = 0;    // from the start to the end, wall time
};

// Runs `arguments` (the program first) with stdout and stderr going to `output` (a file,
// /dev/null by default) and waits for it to end.
CProcessRun RunProcess(const std::vector<std::string>& arguments, const std::string& output = "/dev/null");

// The same, through `peakMemoryProgram` (bench_peak_memory), which tells the most memory
// the process held, in megabytes; -1 when it could not tell.
double PeakMegabytesOf(const std::string& peakMemoryProgram, const std::vector<std::string>& arguments,
                       const std::string& resultFile);

// A process started and left running until Stop().
class CBackgroundProcess
{
public:
    // `work` runs in a forked child, which ends with its result.
    explicit CBackgroundProcess(int (*work)(void* context), void* context);
    ~CBackgroundProcess();
    // Ends it (SIGTERM, then waits); the exit code, or -1 when the signal ended it.
    int Stop();

private:
    int m_pid = -1;
};
