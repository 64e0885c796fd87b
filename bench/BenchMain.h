// main() for a benchmark that drives the windows: the tool's application object
// on the offscreen platform, then Google Benchmark.
#pragma once

#include "common/Application.h"

#include <benchmark/benchmark.h>

#define TAVRIN_BENCHMARK_MAIN()                                                                              \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                             \
        TavrinApplication app(argc, argv);                                                                   \
        benchmark::Initialize(&argc, argv);                                                                  \
        if (benchmark::ReportUnrecognizedArguments(argc, argv))                                              \
            return 1;                                                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
