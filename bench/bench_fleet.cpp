// SPDX-License-Identifier: Apache-2.0
// One settings file to many print servers: `vellmark-cli send --all --wait 0` over 8 private
// schedulers with 4 queues of the model each (32 simulated printers), in one run:
//
// - over a slow link: each scheduler behind a proxy that delays every chunk 25 ms each way
//   (50 ms round trips), the 32 printers in one command beside one `send --wait 0` to one
//   queue through the same kind of link. A send is a few round trips, whatever the number of
//   printers, when every printer's job goes at once: the goal is a ratio of at most 2.
// - without latency: the 32 printers in one command beside the same 32 sends made one server
//   after the other with the single-server `send --all`.
//
// Then it checks that every simulated printer received exactly the settings.
//
// The queues are paused (cupsdisable: they accept jobs but do not print them) while the sends
// are timed, and resumed afterwards: the time is the tool's, until every scheduler holds its
// jobs, not that of the schedulers' own printing processes, which would otherwise run inside
// whichever measurement comes next. Each send replaces the settings job still waiting on its
// queue, so every printer prints exactly one job once its queue goes on.
#include "FleetSupport.h"
#include "SpoolerProxy.h"

#include <chrono>
#include <memory>
#include <tuple>

namespace {

using vellmark::bench::Fail;
using vellmark::bench::Fleet;
using vellmark::bench::PrintRatio;
using vellmark::bench::RunQuietly;
using vellmark::bench::WriteFactorySettings;
using vellmark::test::SpoolerProxy;

constexpr int kServers = 8;
constexpr int kQueuesPerServer = 4;
constexpr auto kLinkDelay = std::chrono::milliseconds(25);
// `send --wait 0` exits with 3: every job taken, none waited for.
constexpr int kTaken = 3;
const char* const kSlowFleet = "SlowLinkFleet/servers:8/queues:32";
const char* const kSlowOne = "SlowLinkOne/servers:1/queues:1";
const char* const kParallel = "FleetParallel/servers:8/queues:32";
const char* const kSequential = "FleetSequential/servers:8/queues:32";

Fleet g_fleet;
std::vector<std::unique_ptr<SpoolerProxy>> g_proxies;
std::string g_file;

using Command = std::vector<std::string>;

// `send --all` to every one of `servers` in one command.
Command SendToAll(const std::vector<std::string>& servers) {
    Command args{VELLMARK_CLI, "send", g_file, "--all", "--wait", "0"};
    for (const std::string& server : servers)
        args.insert(args.end(), {"--server", server});
    return args;
}

// Runs the commands one after the other each round; the first failure ends the benchmark with
// `failure`.
void TimeRounds(benchmark::State& state, const std::vector<Command>& commands,
                const char* failure) {
    for (auto _ : state)
        for (const Command& args : commands)
            if (!RunQuietly(args, nullptr, nullptr, nullptr, kTaken))
                return state.SkipWithError(failure);
}

// Runs `tool` (cupsdisable, cupsenable) on every queue of every server.
bool ForEveryQueue(const char* tool) {
    for (auto& server : g_fleet.schedulers)
        for (int q = 0; q < kQueuesPerServer; ++q)
            if (!server->RunTool(tool, {"Dotrix-" + std::to_string(q)}))
                return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!StartFleet(g_fleet, kServers, kQueuesPerServer, {}, "bench_fleet"))
        return 1;
    for (const auto& server : g_fleet.schedulers) {
        g_proxies.push_back(
            std::make_unique<SpoolerProxy>(server->SocketPath(), false, kLinkDelay));
        if (!g_proxies.back()->Listening())
            return Fail("bench_fleet", "the slow link did not start");
    }
    g_file = WriteFactorySettings(g_fleet.schedulers.front()->Folder() + "/office.dat");
    if (!ForEveryQueue("cupsdisable"))
        return Fail("bench_fleet", "cupsdisable failed");

    std::vector<std::string> links, sockets;
    std::vector<Command> oneByOne; // the single-server `send --all`, one server after the other
    for (std::size_t s = 0; s < g_fleet.schedulers.size(); ++s) {
        links.push_back(g_proxies[s]->Address());
        sockets.push_back(g_fleet.schedulers[s]->SocketPath());
        oneByOne.push_back(SendToAll({sockets.back()}));
    }
    const std::tuple<const char*, std::vector<Command>, const char*> cases[] = {
        {kSlowFleet, {SendToAll(links)}, "send --all over every slow link failed"},
        {kSlowOne,
         {{VELLMARK_CLI, "send", g_file, "--printer", "Dotrix-0", "--wait", "0", "--server",
           links.front()}},
         "send to one queue over a slow link failed"},
        {kParallel, {SendToAll(sockets)}, "send --all over every server failed"},
        {kSequential, oneByOne, "send --all to one server failed"}};
    vellmark::bench::KeepingReporter reporter;
    for (const auto& [name, commands, failure] : cases)
        benchmark::RegisterBenchmark(name, TimeRounds, commands, failure)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatio(reporter, "slow links (25 ms each way):", {"32 printers on 8 servers", kSlowFleet},
               {"one printer", kSlowOne}, "2");
    PrintRatio(reporter, "no latency: 32 printers on 8 servers:", {"parallel", kParallel},
               {"sequential", kSequential}, "0.35");

    // Every printer prints the settings once, byte for byte: each send replaced the job still
    // waiting on its queue.
    if (!ForEveryQueue("cupsenable"))
        return Fail("bench_fleet", "cupsenable failed");
    const int exact = ExactPrinters(g_fleet, [](std::size_t) { return 1; });
    std::printf("printers with exactly one job of the 180 bytes: %d of %zu\n", exact,
                g_fleet.printers.size());
    g_proxies.clear();
    for (auto& server : g_fleet.schedulers)
        server->Stop();
    benchmark::Shutdown();
    return exact == static_cast<int>(g_fleet.printers.size()) ? 0 : 1;
}
