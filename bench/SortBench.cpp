// SortByColumn on 128,000 programs, each of the five columns, against std::sort of keys worked
// out beforehand (the joined key of the column with capitals folded, which orders the same).

#include "BenchLibrary.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int SORT_FILES = 1000;  // 128,000 programs

// What a record is made from, so that the list can be built again in the same order.
struct CRecordSource {
    char bank;
    int number;
    std::vector<unsigned char> data;
    std::string fileName;
};

// The programs of 1,000 dumps in a fixed random order, so that no column starts sorted.
const std::vector<CRecordSource>& Sources()
{
    static const std::vector<CRecordSource> sources = [] {
        std::vector<CRecordSource> made;
        for (const std::string& path : BenchDumpPaths(SORT_FILES)) {
            CProgramList list;
            std::string error;
            list.ReadSyxFile(path, error, BenchDisplayName(path));
            for (int i = 0; i < list.GetSize(); ++i) {
                const CSyxProgram* p = list.GetAt(i);
                made.push_back({p->GetBankView()[0], i % 16 + 1,
                                std::vector<unsigned char>(p->GetData(), p->GetData() + p->GetLength()),
                                p->GetFileName()});
            }
        }
        std::shuffle(made.begin(), made.end(), std::mt19937(7));
        return made;
    }();
    return sources;
}

void Fill(CProgramList& list)
{
    list.DeleteAll();
    for (const CRecordSource& source : Sources())
        list.Add(new CSyxProgram(source.bank, source.number, source.data.data(),
                                 static_cast<unsigned int>(source.data.size()), source.fileName));
}

std::string FoldedKey(const CSyxProgram& p, int column)
{
    std::string key;
    switch (column) {
    case 0: key = p.GetFileName() + p.GetBankText() + p.GetNumberText(); break;
    case 1: key = p.GetBankText() + p.GetNumberText(); break;
    case 2: key = p.GetNumberText() + p.GetFileName(); break;
    case 3: key = p.GetName(); break;
    case 4: key = p.GetVoiceModeName() + p.GetBankText(); break;
    default: break;
    }
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

// std::string compares as unsigned bytes, as the sort does.
bool KeyLess(const std::string& a, const std::string& b)
{
    return a < b;
}

void BM_SortByColumn(benchmark::State& state)
{
    const int column = static_cast<int>(state.range(0));
    CProgramList list;
    for (auto _ : state) {
        state.PauseTiming();
        Fill(list);
        state.ResumeTiming();
        list.SortByColumn(column);
    }
    // The order must be the order of the folded keys.
    for (int i = 1; i < list.GetSize(); ++i)
        if (KeyLess(FoldedKey(*list.GetAt(i), column), FoldedKey(*list.GetAt(i - 1), column))) {
            state.SkipWithError("SortByColumn left records out of order");
            break;
        }
    state.counters["programs"] = list.GetSize();
}
BENCHMARK(BM_SortByColumn)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(10);

struct CKeyedRecord {
    std::string key;
    const CSyxProgram* record;
};

void BM_SortPrecomputedKeys(benchmark::State& state)
{
    const int column = static_cast<int>(state.range(0));
    CProgramList list;
    Fill(list);
    std::vector<CKeyedRecord> start;
    for (int i = 0; i < list.GetSize(); ++i)
        start.push_back({FoldedKey(*list.GetAt(i), column), list.GetAt(i)});
    std::vector<CKeyedRecord> keys;
    for (auto _ : state) {
        state.PauseTiming();
        keys = start;
        state.ResumeTiming();
        std::sort(keys.begin(), keys.end(),
                  [](const CKeyedRecord& a, const CKeyedRecord& b) { return KeyLess(a.key, b.key); });
    }
    benchmark::DoNotOptimize(keys.data());
}
BENCHMARK(BM_SortPrecomputedKeys)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
