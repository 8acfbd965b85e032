// Reading one program's parameters into shown texts, against copying its 254 bytes into as
// many integers; and comparing two programs parameter by parameter.

#include "ProgramParameters.h"

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

namespace {

constexpr int DUAL = 2;

// A Dual program (both timbres apply: the most parameters a program shows), each parameter
// at a value of its range that depends on `seed`.
std::array<unsigned char, 254> BenchProgram(int seed)
{
    std::array<unsigned char, 254> data{};
    for (const CParameter& p : ProgramParameters()) {
        if (p.display == ParamDisplay::Text || p.section == ParamSection::Vocoder)
            continue;
        int minValue = 0, maxValue = 0;
        Range(p, data.data(), minValue, maxValue);
        SetValue(p, data.data(), minValue + (p.id * 7 + seed) % (maxValue - minValue + 1));
    }
    SetValue(*FindParameter(ParamSection::Common, "Voice Mode"), data.data(), DUAL);
    std::string error;
    SetProgramName(data.data(), "Bench " + std::to_string(seed), error);
    return data;
}

void BM_CopyProgramBytes(benchmark::State& state)
{
    const std::array<unsigned char, 254> data = BenchProgram(1);
    std::array<int, 254> values{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.data());
        for (size_t i = 0; i < data.size(); ++i)
            values[i] = data[i];
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyProgramBytes);

void BM_ShowParameters(benchmark::State& state)
{
    const std::array<unsigned char, 254> data = BenchProgram(1);
    std::vector<CShownParameter> shown;
    ShowParameters(data.data(), SynthModel::MS2000, false, shown);  // room made once, as a caller keeps it
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.data());
        ShowParameters(data.data(), SynthModel::MS2000, false, shown);
        benchmark::DoNotOptimize(shown.data());
        benchmark::ClobberMemory();
    }
    state.counters["parameters"] = static_cast<double>(shown.size());
}
BENCHMARK(BM_ShowParameters);

void BM_CompareParameters(benchmark::State& state)
{
    const std::array<unsigned char, 254> first = BenchProgram(1);
    const std::array<unsigned char, 254> second = BenchProgram(2);
    size_t differences = 0;
    for (auto _ : state) {
        const CProgramComparison comparison = CompareParameters(first.data(), second.data(), SynthModel::MS2000);
        differences = comparison.differences.size();
        benchmark::DoNotOptimize(comparison.differences.data());
    }
    state.counters["differences"] = static_cast<double>(differences);
}
BENCHMARK(BM_CompareParameters);

// The usual case: two programs a few edits apart.
void BM_CompareParametersFewDiffer(benchmark::State& state)
{
    const std::array<unsigned char, 254> first = BenchProgram(1);
    std::array<unsigned char, 254> second = first;
    SetValue(*FindParameter(ParamSection::Timbre1, "Cutoff"), second.data(), 100);
    SetValue(*FindParameter(ParamSection::Timbre2, "Filter Type"), second.data(), 3);
    SetValue(*FindParameter(ParamSection::Common, "Arp Tempo"), second.data(), 200);
    size_t differences = 0;
    for (auto _ : state) {
        const CProgramComparison comparison = CompareParameters(first.data(), second.data(), SynthModel::MS2000);
        differences = comparison.differences.size();
        benchmark::DoNotOptimize(comparison.differences.data());
    }
    state.counters["differences"] = static_cast<double>(differences);
}
BENCHMARK(BM_CompareParametersFewDiffer);

} // namespace
