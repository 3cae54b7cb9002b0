#pragma once

// Runs the benchmarks as usual, then prints for each pair the project's
// figure, the yardstick's figure from the same run and their ratio, by real
// and by CPU time. With --benchmark_repetitions the medians are compared:
// the machine is shared, and a median of a run shrugs off a neighbour's burst.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace bench {

struct Comparison {
    std::string label;     // what the line says is compared
    std::string project;   // benchmark names as registered
    std::string yardstick;
};

class ComparingReporter : public benchmark::BenchmarkReporter {
public:
    explicit ComparingReporter(benchmark::BenchmarkReporter *display) : display_(display) {}

    bool ReportContext(const Context &context) override { return display_->ReportContext(context); }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && !median))
                continue;
            Figure &figure = figures_[run.run_name.str()];
            if (median || !figure.median) {
                const double seconds = 1.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
                figure = {run.GetAdjustedRealTime() * seconds, run.GetAdjustedCPUTime() * seconds, median};
            }
        }
        display_->ReportRuns(runs);
    }

    void Finalize() override { display_->Finalize(); }

    void printComparisons(const std::vector<Comparison> &comparisons) const
    {
        for (const Comparison &c : comparisons) {
            const auto project = figures_.find(c.project);
            const auto yardstick = figures_.find(c.yardstick);
            if (project == figures_.end() || yardstick == figures_.end())
                continue;
            const Figure &p = project->second;
            const Figure &y = yardstick->second;
            std::printf("%s: %.1f us against %.1f us, ratio %.3f (real time); %.1f us against %.1f us, ratio %.3f "
                        "(CPU time)%s\n",
                        c.label.c_str(), p.real * 1e6, y.real * 1e6, p.real / y.real, p.cpu * 1e6, y.cpu * 1e6,
                        p.cpu / y.cpu, p.median && y.median ? ", medians" : "");
        }
    }

private:
    struct Figure {
        double real = 0.0; // seconds per iteration
        double cpu = 0.0;
        bool median = false;
    };

    std::unique_ptr<benchmark::BenchmarkReporter> display_;
    std::map<std::string, Figure> figures_;
};

inline int runComparing(int argc, char **argv, const std::vector<Comparison> &comparisons)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ComparingReporter reporter(benchmark::CreateDefaultDisplayReporter());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printComparisons(comparisons);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
