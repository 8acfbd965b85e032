// Benchmarks of the program data: the reader, the sort, the duplicate finder and the parameter model. bash scripts/bench.sh runs them.

#include "BenchSummary.h"

#include <string>

int main(int argc, char** argv)
{
    std::vector<CBenchCheck> checks;
    checks.push_back(TimeCheck("ReadSyxFile, one 128-program dump", "BM_ReadSyxFile", "BM_ReadDumpRaw", 3, 0));
    const char* const COLUMNS[] = {"File", "Bank", "#", "Program", "Category"};
    for (int column = 0; column < 5; ++column) {
        const std::string suffix = "/" + std::to_string(column) + "/iterations:10";
        checks.push_back(TimeCheck(std::string("SortByColumn, 128,000 programs, ") + COLUMNS[column],
                                   "BM_SortByColumn" + suffix, "BM_SortPrecomputedKeys" + suffix, 2, 150));
    }
    checks.push_back(TimeCheck("FindDuplicatePrograms, 128,000 programs", "BM_FindDuplicates/iterations:10",
                               "BM_ReadComparedBytes/iterations:10", 10, 250));
    checks.push_back(TimeCheck("ShowParameters, one Dual program", "BM_ShowParameters", "BM_CopyProgramBytes", 3,
                               0.020));
    checks.push_back(TimeCheck("CompareParameters, every parameter differing", "BM_CompareParameters", "", 0, 0.005));
    checks.push_back(TimeCheck("CompareParameters, three differing", "BM_CompareParametersFewDiffer", "", 0, 0.005));
    return RunBenchmarksWithChecks(argc, argv, checks);
}
