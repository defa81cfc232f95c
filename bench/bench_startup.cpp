// SPDX-License-Identifier: Apache-2.0
// The program's start-up: from the process start until its main window's first paint
// (VELLMARK_EXIT_AFTER_PAINT=1 ends it there), with one printer of the model on a private
// scheduler, so the printer is chosen without a dialog. Timed from outside as a whole process,
// side by side in one run with a minimal Qt Widgets program (one dialog, one Japanese label)
// that ends the same way. Reports both elapsed times, both processor times and both peak
// memories, each pair with its ratio (goal for time and memory: at most 1.3). Each start gets a
// new HOME and XDG_CACHE_HOME, so every start is timed as a first start. Run it under each
// locale of interest (LANG=C.UTF-8, LANG=ja_JP.UTF-8 with LOCPATH): both programs inherit it.
//
// The window system is the one of the environment (DISPLAY), else Qt's offscreen platform.
#include "BenchSupport.h"
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using vellmark::bench::Fail;
using vellmark::bench::StartSpooler;
using vellmark::test::SimulatedPrinter;
using vellmark::test::TestSpooler;

void BM_Process(benchmark::State& state, const char* program) {
    long peak = 0;
    long maxPeak = 0;
    double cpu = 0;
    double cpuTotal = 0;
    for (auto _ : state) {
        // Every start is a first start: a new, empty home and cache folder, so that nothing a
        // run leaves behind can speed up the next.
        state.PauseTiming();
        char home[] = "/tmp/vellmark-bench-home.XXXXXX";
        if (!::mkdtemp(home))
            return state.SkipWithError("no home folder");
        ::setenv("HOME", home, 1);
        ::setenv("XDG_CACHE_HOME", (std::string(home) + "/.cache").c_str(), 1);
        state.ResumeTiming();
        const bool ok = vellmark::bench::RunQuietly({program}, nullptr, &peak, &cpu);
        state.PauseTiming();
        std::filesystem::remove_all(home);
        state.ResumeTiming();
        if (!ok)
            return state.SkipWithError("the program did not end with status 0");
        maxPeak = std::max(maxPeak, peak);
        cpuTotal += cpu;
    }
    state.counters["peak_kB"] = static_cast<double>(maxPeak);
    // The processor time the process used (user and system), which other work on a shared
    // machine disturbs less than the elapsed time.
    state.counters["cpu_ms"] =
        benchmark::Counter(cpuTotal * 1000.0, benchmark::Counter::kAvgIterations);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    if (!StartSpooler(spooler, "bench_startup"))
        return 1;
    SimulatedPrinter printer;
    if (!spooler.AddQueue("Dotrix", printer.DeviceUri(), VELLMARK_PPD_PATH))
        return Fail("bench_startup", "lpadmin failed");
    char runtime[] = "/tmp/vellmark-bench.XXXXXX";
    if (!::mkdtemp(runtime))
        return Fail("bench_startup", std::strerror(errno));
    ::setenv("CUPS_SERVER", spooler.SocketPath().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime, 1);
    ::setenv("VELLMARK_EXIT_AFTER_PAINT", "1", 1);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    const char* const kProgram = "Vellmark/first-paint";
    const char* const kMinimal = "MinimalDialog/first-paint";
    for (const auto& [name, exe] :
         {std::pair{kProgram, VELLMARK_EXE}, {kMinimal, VELLMARK_MINIMAL_EXE}})
        benchmark::RegisterBenchmark(name, BM_Process, exe)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(3.0);
    vellmark::bench::KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double program = reporter.Time(kProgram);
    const double minimal = reporter.Time(kMinimal);
    const double programCpu = reporter.Counter(kProgram, "cpu_ms");
    const double minimalCpu = reporter.Counter(kMinimal, "cpu_ms");
    const double programPeak = reporter.Counter(kProgram, "peak_kB");
    const double minimalPeak = reporter.Counter(kMinimal, "peak_kB");
    if (minimal > 0 && minimalCpu > 0 && minimalPeak > 0)
        std::printf("start-up to first paint: vellmark %.1f ms, minimal dialog %.1f ms, ratio %.2f "
                    "(goal: at most 1.3); processor time %.1f ms and %.1f ms, ratio %.2f; peak "
                    "memory %.0f kB and %.0f kB, ratio %.2f (goal: at most 1.3)\n",
                    program, minimal, program / minimal, programCpu, minimalCpu,
                    programCpu / minimalCpu, programPeak, minimalPeak, programPeak / minimalPeak);
    spooler.Stop();
    ::rmdir(runtime);
    benchmark::Shutdown();
    return 0;
}
