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
#include "SettingsBlock.h"
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using vellmark::test::SimulatedPrinter;
using vellmark::test::TestSpooler;

constexpr int kServers = 8;
constexpr int kQueuesPerServer = 4;

std::vector<std::unique_ptr<TestSpooler>> g_servers;
std::string g_file;

// Runs vellmark-cli with `args` (and CUPS_SERVER when given); true when it exits with 0.
bool RunCli(const std::vector<std::string>& args, const std::string& server = {}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        if (!server.empty())
            ::setenv("CUPS_SERVER", server.c_str(), 1);
        std::vector<char*> argv = {const_cast<char*>(VELLMARK_CLI)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(VELLMARK_CLI, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_FleetParallel(benchmark::State& state) {
    std::vector<std::string> args = {"send", g_file, "--all"};
    for (const auto& server : g_servers) {
        args.push_back("--server");
        args.push_back(server->SocketPath());
    }
    for (auto _ : state) {
        if (!RunCli(args)) {
            state.SkipWithError("send --all over every server failed");
            break;
        }
    }
}

void BM_FleetSequential(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& server : g_servers) {
            if (!RunCli({"send", g_file, "--all"}, server->SocketPath())) {
                state.SkipWithError("send --all to one server failed");
                return;
            }
        }
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    std::map<std::string, long long> iterations;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // Keyed by the name before its arguments ("FleetParallel").
            const std::string name = run.benchmark_name();
            times[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime();
            iterations[name.substr(0, name.find('/'))] = run.iterations;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<std::unique_ptr<SimulatedPrinter>> printers;
    for (int s = 0; s < kServers; ++s) {
        g_servers.push_back(std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND));
        std::string error;
        if (!g_servers.back()->Start(&error)) {
            std::fprintf(stderr, "bench_fleet: %s\n", error.c_str());
            return 1;
        }
        for (int q = 0; q < kQueuesPerServer; ++q) {
            printers.push_back(std::make_unique<SimulatedPrinter>());
            if (!g_servers.back()->AddQueue("Dotrix-" + std::to_string(q),
                                            printers.back()->DeviceUri(), VELLMARK_PPD_PATH)) {
                std::fprintf(stderr, "bench_fleet: lpadmin failed\n");
                return 1;
            }
        }
    }
    g_file = g_servers.front()->Folder() + "/office.dat";
    {
        std::ofstream out(g_file, std::ios::binary);
        out.write("Dotrix Ledger 9040\n", 20);
        out.write(reinterpret_cast<const char*>(vellmark::FactoryDefaults.data()),
                  vellmark::FactoryDefaults.size());
    }

    auto forEveryQueue = [&](const char* tool) {
        for (auto& server : g_servers)
            for (int q = 0; q < kQueuesPerServer; ++q)
                if (!server->RunTool(tool, {"Dotrix-" + std::to_string(q)}))
                    return false;
        return true;
    };
    if (!forEveryQueue("cupsdisable")) {
        std::fprintf(stderr, "bench_fleet: cupsdisable failed\n");
        return 1;
    }

    RatioReporter reporter;
    // A few rounds each: every round leaves 32 jobs that the schedulers print one by one.
    benchmark::RegisterBenchmark("FleetParallel/servers:8/queues:32", BM_FleetParallel)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("FleetSequential/servers:8/queues:32", BM_FleetSequential)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double parallel = reporter.times["FleetParallel"];
    const double sequential = reporter.times["FleetSequential"];
    const long long sends =
        reporter.iterations["FleetParallel"] + reporter.iterations["FleetSequential"];
    if (sequential > 0)
        std::printf("32 printers on 8 servers: parallel %.1f ms, sequential %.1f ms, ratio %.2f "
                    "(goal: at most 0.35)\n",
                    parallel, sequential, parallel / sequential);

    // Every printer got the settings once per send, byte for byte.
    if (!forEveryQueue("cupsenable")) {
        std::fprintf(stderr, "bench_fleet: cupsenable failed\n");
        return 1;
    }
    const SimulatedPrinter::Job expected(vellmark::FactoryDefaults.begin(),
                                         vellmark::FactoryDefaults.end());
    int exact = 0;
    for (const auto& printer : printers) {
        printer->WaitForJobs(static_cast<std::size_t>(sends), std::chrono::seconds(120));
        const auto jobs = printer->Jobs();
        bool ok = jobs.size() == static_cast<std::size_t>(sends);
        for (const auto& job : jobs)
            ok = ok && job == expected;
        exact += ok ? 1 : 0;
    }
    std::printf("printers with exactly %lld jobs of the 180 bytes: %d of %zu\n", sends, exact,
                printers.size());
    for (auto& server : g_servers)
        server->Stop();
    benchmark::Shutdown();
    return sends > 0 && exact == static_cast<int>(printers.size()) ? 0 : 1;
}
