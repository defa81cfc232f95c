// The program's start-up: from the process start until its main window's first paint
// (VELLMARK_EXIT_AFTER_PAINT=1 ends it there), with one printer of the model on a private
// scheduler, so the printer is chosen without a dialog. Timed from outside as a whole process,
// side by side in one run with a minimal Qt Widgets program (one dialog, one label) that ends
// the same way. Reports both times, their ratio (goal: at most 1.3) and both peak memories.
//
// The window system is the one of the environment (DISPLAY), else Qt's offscreen platform.
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using vellmark::test::SimulatedPrinter;
using vellmark::test::TestSpooler;

// Runs the program to its end; false when it did not end with status 0. `peakKb`: its peak
// resident memory, as /usr/bin/time -v reports it.
bool RunOnce(const char* program, long* peakKb) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(program, program, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return false;
    *peakKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_Process(benchmark::State& state, const char* program) {
    long peak = 0;
    long maxPeak = 0;
    for (auto _ : state) {
        if (!RunOnce(program, &peak)) {
            state.SkipWithError("the program did not end with status 0");
            break;
        }
        maxPeak = std::max(maxPeak, peak);
    }
    state.counters["peak_kB"] = static_cast<double>(maxPeak);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    std::map<std::string, double> peaks;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times[run.run_name.function_name] = run.GetAdjustedRealTime();
            if (auto it = run.counters.find("peak_kB"); it != run.counters.end())
                peaks[run.run_name.function_name] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    std::string error;
    if (!spooler.Start(&error)) {
        std::fprintf(stderr, "bench_startup: %s\n", error.c_str());
        return 1;
    }
    SimulatedPrinter printer;
    if (!spooler.AddQueue("Dotrix", printer.DeviceUri(), VELLMARK_PPD_PATH)) {
        std::fprintf(stderr, "bench_startup: lpadmin failed\n");
        return 1;
    }
    char runtime[] = "/tmp/vellmark-bench.XXXXXX";
    if (!::mkdtemp(runtime)) {
        std::perror("bench_startup");
        return 1;
    }
    ::setenv("CUPS_SERVER", spooler.SocketPath().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime, 1);
    ::setenv("VELLMARK_EXIT_AFTER_PAINT", "1", 1);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    benchmark::RegisterBenchmark("Vellmark/first-paint", BM_Process, VELLMARK_EXE)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3.0);
    benchmark::RegisterBenchmark("MinimalDialog/first-paint", BM_Process, VELLMARK_MINIMAL_EXE)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3.0);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double program = reporter.times["Vellmark/first-paint"];
    const double minimal = reporter.times["MinimalDialog/first-paint"];
    if (minimal > 0)
        std::printf("start-up to first paint: vellmark %.1f ms, minimal dialog %.1f ms, ratio %.2f "
                    "(goal: at most 1.3); peak memory %.0f kB and %.0f kB\n",
                    program, minimal, program / minimal, reporter.peaks["Vellmark/first-paint"],
                    reporter.peaks["MinimalDialog/first-paint"]);
    spooler.Stop();
    ::rmdir(runtime);
    benchmark::Shutdown();
    return 0;
}
