#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// Benchmarks that need widgets run headless, like the tests.
#define TRAZEL_QT_BENCHMARK_MAIN()                                                                           \
    int main(int argc, char** argv) {                                                                        \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                             \
        QApplication app(argc, argv);                                                                        \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
