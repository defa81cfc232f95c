// SPDX-License-Identifier: Apache-2.0
// Printer discovery (one CUPS-Get-Printers request and the selection rules) against a private
// scheduler, timed beside `lpstat -v` on the same scheduler in the same run, first with 20
// queues (5 of the model) and then with 200 (50 of the model). Reports both times, their ratio
// and the requests one discovery sends (counted by the service and by the scheduler's log).
#include "BenchSupport.h"
#include "CupsPrintService.h"
#include "SelectionRules.h"
#include "TestSpooler.h"

namespace {

using vellmark::CupsPrintService;
using vellmark::DiscoverRows;
using vellmark::test::TestSpooler;

TestSpooler* g_spooler = nullptr;

void BM_Discovery(benchmark::State& state) {
    CupsPrintService service(g_spooler->SocketPath());
    const std::size_t loggedBefore = g_spooler->LoggedRequests();
    std::size_t rows = 0;
    for (auto _ : state) {
        auto found = DiscoverRows(service);
        rows = found.rows.size();
        benchmark::DoNotOptimize(found);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["requests/discovery"] = service.RequestCount() / n;
    state.counters["logged/discovery"] =
        static_cast<double>(g_spooler->LoggedRequests() - loggedBefore) / n;
}

void BM_LpstatV(benchmark::State& state) {
    const std::vector<std::string> args = {"lpstat", "-h", g_spooler->SocketPath(), "-v"};
    for (auto _ : state)
        if (!vellmark::bench::RunQuietly(args))
            return state.SkipWithError("lpstat -v failed");
}

bool AddQueues(TestSpooler& spooler, int from, int to, const std::string& otherPpd) {
    for (int i = from; i < to; ++i) {
        char name[32];
        // Every fourth queue is of the model; the others use another driver.
        const bool model = i % 4 == 0;
        std::snprintf(name, sizeof name, "%s-%03d", model ? "Dotrix" : "Other", i);
        if (!spooler.AddQueue(name, "socket://127.0.0.1:9", model ? VELLMARK_PPD_PATH : otherPpd))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    if (!vellmark::bench::StartSpooler(spooler, "bench_printer"))
        return 1;
    g_spooler = &spooler;
    const std::string otherPpd = spooler.PpdWithNickName(VELLMARK_PPD_PATH, "Generic Printer");

    vellmark::bench::KeepingReporter reporter;
    int queues = 0;
    for (const int total : {20, 200}) {
        if (!AddQueues(spooler, queues, total, otherPpd))
            return vellmark::bench::Fail("bench_printer", "lpadmin failed");
        queues = total;
        benchmark::ClearRegisteredBenchmarks();
        const std::string suffix = "/queues:" + std::to_string(total);
        benchmark::RegisterBenchmark(("Discovery" + suffix).c_str(), BM_Discovery)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("LpstatV" + suffix).c_str(), BM_LpstatV)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        const double discovery = reporter.Time("Discovery" + suffix);
        const double lpstat = reporter.Time("LpstatV" + suffix);
        if (lpstat > 0)
            std::printf("%d queues: discovery %.1f us, lpstat -v %.1f us, ratio %.2f "
                        "(goal: at most 1.5)\n",
                        total, discovery, lpstat, discovery / lpstat);
    }
    spooler.Stop();
    benchmark::Shutdown();
    return 0;
}
