// One settings file to many print servers: `vellmark-cli send --all` over 8 private schedulers
// with 4 queues of the model each (32 simulated printers), asked in parallel by one command,
// beside the same 32 sends made one server after the other with the single-server
// `send --all`, in the same run. Reports both times and their ratio, then checks that every
// simulated printer received exactly the settings, once for every send made to it.
//
// The queues are paused (cupsdisable: they accept jobs but do not print them) while the sends
// are timed, and resumed afterwards: the time is the tool's, until every scheduler holds its
// jobs, not that of the schedulers' own printing processes, which run after the command has
// ended and on these two cores would otherwise run inside whichever measurement comes next.
#include "BenchSupport.h"
#include "SettingsBlock.h"
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>

namespace {

using vellmark::bench::Fail;
using vellmark::bench::RunQuietly;
using vellmark::test::SimulatedPrinter;
using vellmark::test::TestSpooler;

constexpr int kServers = 8;
constexpr int kQueuesPerServer = 4;
const char* const kParallel = "FleetParallel/servers:8/queues:32";
const char* const kSequential = "FleetSequential/servers:8/queues:32";

std::vector<std::unique_ptr<TestSpooler>> g_servers;
std::string g_file;

void BM_FleetParallel(benchmark::State& state) {
    std::vector<std::string> args = {VELLMARK_CLI, "send", g_file, "--all"};
    for (const auto& server : g_servers) {
        args.push_back("--server");
        args.push_back(server->SocketPath());
    }
    for (auto _ : state)
        if (!RunQuietly(args))
            return state.SkipWithError("send --all over every server failed");
}

void BM_FleetSequential(benchmark::State& state) {
    for (auto _ : state)
        for (const auto& server : g_servers)
            if (!RunQuietly({VELLMARK_CLI, "send", g_file, "--all"}, server->SocketPath().c_str()))
                return state.SkipWithError("send --all to one server failed");
}

// Runs `tool` (cupsdisable, cupsenable) on every queue of every server.
bool ForEveryQueue(const char* tool) {
    for (auto& server : g_servers)
        for (int q = 0; q < kQueuesPerServer; ++q)
            if (!server->RunTool(tool, {"Dotrix-" + std::to_string(q)}))
                return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<std::unique_ptr<SimulatedPrinter>> printers;
    for (int s = 0; s < kServers; ++s) {
        g_servers.push_back(std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND));
        std::string error;
        if (!g_servers.back()->Start(&error))
            return Fail("bench_fleet", error);
        for (int q = 0; q < kQueuesPerServer; ++q) {
            printers.push_back(std::make_unique<SimulatedPrinter>());
            if (!g_servers.back()->AddQueue("Dotrix-" + std::to_string(q),
                                            printers.back()->DeviceUri(), VELLMARK_PPD_PATH))
                return Fail("bench_fleet", "lpadmin failed");
        }
    }
    g_file = g_servers.front()->Folder() + "/office.dat";
    std::ofstream(g_file, std::ios::binary)
        .write("Dotrix Ledger 9040\n", 20)
        .write(reinterpret_cast<const char*>(vellmark::FactoryDefaults.data()),
               vellmark::FactoryDefaults.size());
    if (!ForEveryQueue("cupsdisable"))
        return Fail("bench_fleet", "cupsdisable failed");

    vellmark::bench::KeepingReporter reporter;
    // A few rounds each: every round leaves 32 jobs that the schedulers print one by one.
    for (const auto& [name, function] :
         {std::pair{kParallel, &BM_FleetParallel}, {kSequential, &BM_FleetSequential}})
        benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double parallel = reporter.Time(kParallel);
    const double sequential = reporter.Time(kSequential);
    const long long sends = reporter.Iterations(kParallel) + reporter.Iterations(kSequential);
    if (sequential > 0)
        std::printf("32 printers on 8 servers: parallel %.1f ms, sequential %.1f ms, ratio %.2f "
                    "(goal: at most 0.35)\n",
                    parallel, sequential, parallel / sequential);

    // Every printer got the settings once per send, byte for byte.
    if (!ForEveryQueue("cupsenable"))
        return Fail("bench_fleet", "cupsenable failed");
    const SimulatedPrinter::Job expected(vellmark::FactoryDefaults.begin(),
                                         vellmark::FactoryDefaults.end());
    int exact = 0;
    for (const auto& printer : printers) {
        printer->WaitForJobs(static_cast<std::size_t>(sends), std::chrono::seconds(120));
        const auto jobs = printer->Jobs();
        exact +=
            jobs.size() == static_cast<std::size_t>(sends) &&
            std::all_of(jobs.begin(), jobs.end(), [&](const auto& j) { return j == expected; });
    }
    std::printf("printers with exactly %lld jobs of the 180 bytes: %d of %zu\n", sends, exact,
                printers.size());
    for (auto& server : g_servers)
        server->Stop();
    benchmark::Shutdown();
    return sends > 0 && exact == static_cast<int>(printers.size()) ? 0 : 1;
}
