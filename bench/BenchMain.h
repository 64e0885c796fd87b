// main() for a benchmark that drives the windows: the tool's application object
// on the offscreen platform, then the benchmarks; the status is 1 when a run did
// not complete.
#pragma once

#include "BenchRun.h"

#include "common/ui/Application.h"

#include <benchmark/benchmark.h>

#define TAVRIN_BENCHMARK_MAIN()                                                                              \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                             \
        TavrinApplication app(argc, argv);                                                                   \
        return RunBenchmarks(argc, argv);                                                                    \
    }
