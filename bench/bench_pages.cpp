// SPDX-License-Identifier: Apache-2.0
// The data check with the seven real pages (every page's BuildBlock with data exchange and
// checks, then the comparison with the last sent block), and the creation of the seven pages
// as the main window makes them at start-up (create, then show the factory settings).
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "CPageSet.h"
#include "WidgetBenchMain.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace vellmark;

namespace {

struct Pages : CPageSet {
    void CreateIn(QWidget& host, SettingsDocument& doc) {
        Create(&host, doc);
        doc.LoadFactory();
        doc.ShowInPages();
    }
};

void BM_DataCheck(benchmark::State& state) {
    QWidget host;
    SettingsDocument doc;
    Pages pages;
    pages.CreateIn(host, doc);
    host.show();
    // The pages really read their controls: a changed radio button reaches the block.
    pages.select.DlgItem<QAbstractButton>(1012)->click();
    doc.CollectFromPages();
    if (doc.m_current[22] != '1') {
        state.SkipWithError("the pages did not read their controls");
        return;
    }
    for (auto _ : state) {
        doc.CollectFromPages();
        benchmark::DoNotOptimize(doc.SendAllowed());
    }
}
BENCHMARK(BM_DataCheck)->Unit(benchmark::kMicrosecond)->Repetitions(5)->DisplayAggregatesOnly(true);

void BM_CreateSevenPages(benchmark::State& state) {
    QWidget host;
    host.show();
    for (auto _ : state) {
        SettingsDocument doc;
        auto pages = std::make_unique<Pages>();
        pages->CreateIn(host, doc);
        benchmark::DoNotOptimize(pages.get());
        state.PauseTiming();
        pages.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateSevenPages)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    return vellmark::bench::RunWidgetBenchmarks(argc, argv, [] {
        // The very first creation also loads the fonts and the style; measured once.
        QElapsedTimer timer;
        timer.start();
        QWidget host;
        SettingsDocument doc;
        Pages pages;
        pages.CreateIn(host, doc);
        std::printf("first creation of the seven pages: %.2f ms\n", timer.nsecsElapsed() / 1e6);
    });
}
