#include "BenchSummary.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <optional>

namespace {

struct CRecorded {
    double milliseconds = 0;
    std::map<std::string, double> counters;
};

// The console reporter, keeping the real time per iteration and the counters of each run.
class CRecordingReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal, so that a saved run reads cleanly.
    CRecordingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            CRecorded& recorded = m_runs[run.benchmark_name()];
            recorded.milliseconds = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            for (const auto& [name, counter] : run.counters)
                recorded.counters[name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const CRecorded* Find(const std::string& name) const
    {
        const auto found = m_runs.find(name);
        return found == m_runs.end() ? nullptr : &found->second;
    }

private:
    std::map<std::string, CRecorded> m_runs;
};

std::string FormatTime(double milliseconds)
{
    char text[32];
    if (milliseconds < 0.001)
        std::snprintf(text, sizeof text, "%.1f ns", milliseconds * 1e6);
    else if (milliseconds < 1)
        std::snprintf(text, sizeof text, "%.1f us", milliseconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f ms", milliseconds);
    return text;
}

void PrintCheck(const CBenchCheck& check, const CRecordingReporter& reporter)
{
    const CRecorded* measured = reporter.Find(check.measured);
    if (measured == nullptr)
        return;
    if (!check.counter.empty()) {
        const auto found = measured->counters.find(check.counter);
        if (found == measured->counters.end())
            return;
        const double value = found->second;
        if (check.maxCounter <= 0) {   // told, with no limit
            std::printf("%-50s %12.0f %-4s %23s   %-16s -\n", check.title.c_str(), value, check.counterUnit.c_str(), "",
                        "-");
            return;
        }
        const bool met = value < check.maxCounter;
        std::printf("%-50s %12.0f %-4s %23s < %.0f %-4s %s\n", check.title.c_str(), value,
                    check.counterUnit.c_str(), "", check.maxCounter, check.counterUnit.c_str(),
                    met ? "met" : "MISSED");
        return;
    }

    double measuredMilliseconds = measured->milliseconds;
    if (!check.measuredCounter.empty()) {
        const auto found = measured->counters.find(check.measuredCounter);
        if (found == measured->counters.end())
            return;
        measuredMilliseconds = found->second;
    }
    bool met = true;
    std::string ratioText = "-";
    std::string baselineText = "-";
    std::string limits;
    std::optional<double> baselineMilliseconds;
    if (const CRecorded* baseline = check.baseline.empty() ? nullptr : reporter.Find(check.baseline))
        baselineMilliseconds = baseline->milliseconds;
    if (const auto found = measured->counters.find(check.baselineCounter);
        !check.baselineCounter.empty() && found != measured->counters.end())
        baselineMilliseconds = found->second;
    if (baselineMilliseconds) {
        const double ratio = measuredMilliseconds / *baselineMilliseconds;
        char text[32];
        std::snprintf(text, sizeof text, "%.2fx", ratio);
        ratioText = text;
        baselineText = FormatTime(*baselineMilliseconds);
        if (check.maxRatio > 0) {
            std::snprintf(text, sizeof text, check.maxRatio == static_cast<int>(check.maxRatio) ? "<= %.0fx" : "<= %.1fx", check.maxRatio);
            limits = text;
            met = met && ratio <= check.maxRatio;
        }
    }
    if (check.maxMilliseconds > 0) {
        limits += limits.empty() ? "< " : ", < ";
        limits += FormatTime(check.maxMilliseconds);
        met = met && measuredMilliseconds < check.maxMilliseconds;
    }
    std::printf("%-50s %12s %12s %9s   %-16s %s\n", check.title.c_str(),
                FormatTime(measuredMilliseconds).c_str(), baselineText.c_str(), ratioText.c_str(),
                limits.empty() ? "-" : limits.c_str(), limits.empty() ? "-" : met ? "met" : "MISSED");
}

} // namespace

CBenchCheck TimeAgainstCounterCheck(const std::string& title, const std::string& measured,
                                    const std::string& baselineCounter, double maxRatio)
{
    CBenchCheck check = TimeCheck(title, measured, "", maxRatio, 0);
    check.baselineCounter = baselineCounter;
    return check;
}

CBenchCheck CounterAgainstCounterCheck(const std::string& title, const std::string& measured,
                                       const std::string& measuredCounter, const std::string& baselineCounter,
                                       double maxRatio)
{
    CBenchCheck check = TimeAgainstCounterCheck(title, measured, baselineCounter, maxRatio);
    check.measuredCounter = measuredCounter;
    return check;
}

CBenchCheck TimeCheck(const std::string& title, const std::string& measured,
                      const std::string& baseline, double maxRatio, double maxMilliseconds)
{
    CBenchCheck check;
    check.title = title;
    check.measured = measured;
    check.baseline = baseline;
    check.maxRatio = maxRatio;
    check.maxMilliseconds = maxMilliseconds;
    return check;
}

CBenchCheck CounterCheck(const std::string& title, const std::string& measured,
                         const std::string& counter, double maxCounter, const std::string& unit)
{
    CBenchCheck check;
    check.title = title;
    check.measured = measured;
    check.counter = counter;
    check.maxCounter = maxCounter;
    check.counterUnit = unit;
    return check;
}

int RunBenchmarksWithChecks(int argc, char** argv, const std::vector<CBenchCheck>& checks)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CRecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-50s %12s %12s %9s   %-16s %s\n", "Check", "measured", "baseline", "ratio",
                "limit", "result");
    for (const CBenchCheck& check : checks)
        PrintCheck(check, reporter);
    return 0;
}
