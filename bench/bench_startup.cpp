// SPDX-License-Identifier: Apache-2.0
// The program's start-up: from the process start until its main window's first paint
// (VELLMARK_EXIT_AFTER_PAINT=1 ends it there), with one printer of the model on a private
// scheduler, so the printer is chosen without a dialog. Timed from outside as a whole process,
// beside a minimal Qt Widgets program (one dialog, one Japanese label) that ends the same way.
//
// The two are started in pairs, in turn (program then minimal, then minimal then program), and
// each figure is the median over the pairs, the ratios those of each pair: a shared machine
// speeds up and slows down by a quarter within seconds, which two blocks of runs one after the
// other would read as a difference between the programs. Reports both elapsed times, both
// processor times and both peak memories, each with its ratio (goal for time and memory: at
// most 1.3). Each start gets a new HOME and XDG_CACHE_HOME, so every start is timed as a first
// start. Run it under each locale of interest (LANG=C.UTF-8, LANG=ja_JP.UTF-8 with LOCPATH):
// both programs inherit it.
//
// The window system is the one of the environment (DISPLAY), else Qt's offscreen platform.
#include "BenchSupport.h"
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using vellmark::bench::Fail;
using vellmark::bench::StartSpooler;
using vellmark::test::SimulatedPrinter;
using vellmark::test::TestSpooler;

constexpr int kPairs = 60;

struct Start {
    double wall = 0; // seconds
    double cpu = 0;  // seconds, user and system
    long peakKb = 0;
};

struct Pair {
    Start program;
    Start minimal;
};

// One start of `exe` as a first start: a new, empty home and cache folder, so that nothing a run
// leaves behind can speed up the next.
bool FirstStart(const char* exe, Start& start) {
    char home[] = "/tmp/vellmark-bench-home.XXXXXX";
    if (!::mkdtemp(home))
        return false;
    ::setenv("HOME", home, 1);
    ::setenv("XDG_CACHE_HOME", (std::string(home) + "/.cache").c_str(), 1);
    const auto begin = std::chrono::steady_clock::now();
    const bool ok = vellmark::bench::RunQuietly({exe}, nullptr, &start.peakKb, &start.cpu);
    start.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::filesystem::remove_all(home);
    return ok;
}

void BM_Pairs(benchmark::State& state, std::vector<Pair>* pairs) {
    bool programFirst = true;
    for (auto _ : state) {
        Pair pair;
        const bool ok = programFirst ? FirstStart(VELLMARK_EXE, pair.program) &&
                                           FirstStart(VELLMARK_MINIMAL_EXE, pair.minimal)
                                     : FirstStart(VELLMARK_MINIMAL_EXE, pair.minimal) &&
                                           FirstStart(VELLMARK_EXE, pair.program);
        if (!ok)
            return state.SkipWithError("a program did not end with status 0");
        programFirst = !programFirst;
        state.SetIterationTime(pair.program.wall);
        pairs->push_back(pair);
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median of one figure of each program, and the median of its ratio pair by pair.
struct Compared {
    double program;
    double minimal;
    double ratio;
};

template <class Figure> Compared Compare(const std::vector<Pair>& pairs, Figure figure) {
    std::vector<double> program, minimal, ratio;
    for (const Pair& pair : pairs) {
        program.push_back(figure(pair.program));
        minimal.push_back(figure(pair.minimal));
        ratio.push_back(figure(pair.program) / figure(pair.minimal));
    }
    return {Median(program), Median(minimal), Median(ratio)};
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

    std::vector<Pair> pairs;
    benchmark::RegisterBenchmark("Vellmark/first-paint/beside-minimal", BM_Pairs, &pairs)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(kPairs);
    benchmark::RunSpecifiedBenchmarks();
    if (pairs.size() == kPairs) {
        const Compared wall = Compare(pairs, [](const Start& s) { return s.wall * 1000; });
        const Compared cpu = Compare(pairs, [](const Start& s) { return s.cpu * 1000; });
        const Compared peak =
            Compare(pairs, [](const Start& s) { return static_cast<double>(s.peakKb); });
        std::printf("start-up to first paint, medians of %d alternating pairs: vellmark %.1f ms, "
                    "minimal dialog %.1f ms, ratio %.2f (goal: at most 1.3); processor time "
                    "%.1f ms and %.1f ms, ratio %.2f; peak memory %.0f kB and %.0f kB, ratio "
                    "%.2f (goal: at most 1.3)\n",
                    kPairs, wall.program, wall.minimal, wall.ratio, cpu.program, cpu.minimal,
                    cpu.ratio, peak.program, peak.minimal, peak.ratio);
    }
    spooler.Stop();
    ::rmdir(runtime);
    benchmark::Shutdown();
    return 0;
}
