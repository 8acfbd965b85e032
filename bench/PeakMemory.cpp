// Runs a program and writes the most memory it held (its peak resident set, in kilobytes) to
// a file: bench_peak_memory RESULT PROGRAM [ARGUMENT...].
//
// The benchmarks run their processes through this small program rather than straight from
// themselves, because Linux counts into a child's peak what it held before it started the
// program, which for a child of a benchmark is the benchmark's own memory.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RESULT PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return 2;
    std::FILE* result = std::fopen(argv[1], "w");
    if (result == nullptr)
        return 2;
    std::fprintf(result, "%ld\n", usage.ru_maxrss);
    std::fclose(result);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
