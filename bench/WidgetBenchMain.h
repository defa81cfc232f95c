// SPDX-License-Identifier: Apache-2.0
// The main of the benchmarks that need widgets: an application on the offscreen platform (unless
// QT_QPA_PLATFORM says otherwise), an optional step run once inside it, then every registered
// benchmark.
#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <functional>

namespace vellmark::bench {

inline int RunWidgetBenchmarks(int argc, char** argv, const std::function<void()>& first = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (first)
        first();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace vellmark::bench
