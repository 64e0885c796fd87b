#include "BenchRun.h"

#include <benchmark/benchmark.h>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The usual display (console, JSON or CSV, as --benchmark_format says), noting
// every run that ended with an error on its way through.
class ErrorNotingReporter final : public benchmark::BenchmarkReporter {
public:
    explicit ErrorNotingReporter(benchmark::BenchmarkReporter& display)
        : m_display(display)
    {
    }

    bool ReportContext(const Context& context) override { return m_display.ReportContext(context); }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.error_occurred)
                m_failures.push_back(run.benchmark_name() + ": " + run.error_message);
        m_display.ReportRuns(runs);
    }

    void Finalize() override { m_display.Finalize(); }

    const std::vector<std::string>& failures() const { return m_failures; }

private:
    benchmark::BenchmarkReporter& m_display;
    std::vector<std::string> m_failures;
};

} // namespace

int RunBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The library keeps its default display for the whole program.
    ErrorNotingReporter reporter(*benchmark::CreateDefaultDisplayReporter());
    const size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (ran == 0) {
        std::cerr << "No benchmark ran." << std::endl;
        return 1;
    }
    if (reporter.failures().empty())
        return 0;
    std::cerr << reporter.failures().size() << " benchmark run(s) did not complete:" << std::endl;
    for (const std::string& failure : reporter.failures())
        std::cerr << "  " << failure << std::endl;
    return 1;
}
