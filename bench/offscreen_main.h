#pragma once

// main() of the benchmarks that need widgets: the offscreen platform, the
// reader's font substitutions, then Google Benchmark as usual.

#include "ui/platform/fonts.h"

#include <QApplication>

#include <benchmark/benchmark.h>

inline int RunOffscreenBenchmarks(int argc, char** argv, void (*registerBenchmarks)() = nullptr)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterFontSubstitutions();
    if (registerBenchmarks)
        registerBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
