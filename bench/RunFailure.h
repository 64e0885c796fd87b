// Ending a benchmark's run with the reason it did not complete. Google Benchmark
// then prints the reason instead of figures, and RunBenchmarks makes the
// program's status 1.
#pragma once

#include <QString>
#include <benchmark/benchmark.h>

// Skips the benchmark with why and returns true when there is a why; returns
// false when why is empty (the run completed). The caller leaves its loop.
inline bool Failed(benchmark::State& state, const QString& why)
{
    if (why.isEmpty())
        return false;
    state.SkipWithError(why.toStdString().c_str());
    return true;
}
