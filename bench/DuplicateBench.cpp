// FindDuplicatePrograms on 128,000 programs, of which every eighth repeats an earlier sound
// under another name, against one plain pass over the same bytes (the least any finder reads).

#include "ProgramDuplicates.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int DUPLICATE_PROGRAMS = 128000;
constexpr int COPY_EVERY = 8;   // each eighth program repeats an earlier one's sound

// The library, made once: random data, names of a word and a number, and copies renamed.
const CProgramList& Library()
{
    static const CProgramList* library = [] {
        auto* list = new CProgramList;
        std::mt19937 random(2026);
        std::vector<std::vector<unsigned char>> made;
        made.reserve(DUPLICATE_PROGRAMS);
        for (int i = 0; i < DUPLICATE_PROGRAMS; ++i) {
            std::vector<unsigned char> data(PROGRAM_DATA_SIZE);
            if (i % COPY_EVERY == COPY_EVERY - 1)
                data = made[random() % made.size()];
            else
                for (unsigned char& byte : data)
                    byte = static_cast<unsigned char>(random());
            std::string name = "Prog " + std::to_string(i);
            name.resize(12, ' ');
            std::copy(name.begin(), name.end(), data.begin());
            made.push_back(data);
            list->Add(new CSyxProgram('A', 1, data.data(), PROGRAM_DATA_SIZE, "bench"));
        }
        return list;
    }();
    return *library;
}

void BM_FindDuplicates(benchmark::State& state)
{
    const CProgramList& library = Library();
    CDuplicateGroups found;
    for (auto _ : state) {
        found = FindDuplicatePrograms(library);
        benchmark::DoNotOptimize(found.groups.data());
    }
    // Every copy is a duplicate of its original, so there is at least one group per copy's
    // original and no fewer programs than twice the groups.
    if (found.GroupCount() == 0 || found.ProgramCount() < 2 * found.GroupCount()
        || found.ProgramCount() < DUPLICATE_PROGRAMS / COPY_EVERY)
        state.SkipWithError("FindDuplicatePrograms missed the copies");
    state.counters["programs"] = library.GetSize();
    state.counters["with_duplicate"] = found.ProgramCount();
    state.counters["groups"] = found.GroupCount();
}
BENCHMARK(BM_FindDuplicates)->Unit(benchmark::kMillisecond)->Iterations(10);

// The baseline: every compared byte of every program read once, in list order.
void BM_ReadComparedBytes(benchmark::State& state)
{
    const CProgramList& library = Library();
    for (auto _ : state) {
        unsigned long long sum = 0;
        for (int i = 0; i < library.GetSize(); ++i) {
            const unsigned char* data = library.GetAt(i)->GetData();
            for (unsigned int b = DUPLICATE_FIRST_BYTE; b < PROGRAM_DATA_SIZE; ++b)
                sum += data[b];
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ReadComparedBytes)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
