// SPDX-License-Identifier: Apache-2.0
// The fleet at scale within one bound: `vellmark-cli send` to 100 print servers, of them 10
// silent (they take the connection and never answer) and 5 refusing (nothing listens), with
// 200 queues of the model on the 85 that answer, each printing to a simulated printer that
// takes a second to read a job. The whole run's time is printed beside the bound the manual
// states (--timeout for the listing + --timeout for the sending + --wait + 1 s), and beside one
// send to one queue.
//
// The 85 answering servers are loopback proxies in front of 4 private schedulers of 50 queues
// each; every queue is named once, on one proxy, so each printer gets exactly one job.
#include "FleetSupport.h"
#include "SpoolerProxy.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using vellmark::bench::Fail;
using vellmark::bench::Fleet;
using vellmark::bench::RunQuietly;
using vellmark::bench::WriteFactorySettings;
using vellmark::test::SimulatedPrinter;
using vellmark::test::SpoolerProxy;
using Clock = std::chrono::steady_clock;

constexpr int kSchedulers = 4;
constexpr int kQueuesPerScheduler = 50;
constexpr int kAnswering = 85;
constexpr int kSilent = 10;
constexpr int kRefusing = 5;
constexpr auto kReadTime = std::chrono::milliseconds(1000);
constexpr double kTimeout = 2, kWait = 10;

// A loopback port nothing listens on.
int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// The seconds a command takes, start to exit; negative when it does not exit with `status`.
double Timed(const std::vector<std::string>& args, int status) {
    const auto start = Clock::now();
    const bool ok = RunQuietly(args, nullptr, nullptr, nullptr, status);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return ok ? seconds : -seconds;
}

} // namespace

int main() {
    Fleet spoolers;
    if (!StartFleet(spoolers, kSchedulers, kQueuesPerScheduler, kReadTime, "bench_fleet_scale"))
        return 1;
    const auto& schedulers = spoolers.schedulers;
    std::vector<std::unique_ptr<SpoolerProxy>> proxies;
    for (int p = 0; p < kAnswering; ++p) {
        proxies.push_back(
            std::make_unique<SpoolerProxy>(schedulers[p % kSchedulers]->SocketPath()));
        if (!proxies.back()->Listening())
            return Fail("bench_fleet_scale", "a proxy did not start");
    }
    std::vector<std::unique_ptr<SimulatedPrinter>> silent; // they read and never answer
    for (int i = 0; i < kSilent; ++i)
        silent.push_back(std::make_unique<SimulatedPrinter>());

    const std::string file = WriteFactorySettings(schedulers.front()->Folder() + "/office.dat");

    // Queue q of scheduler s on one of the proxies in front of s, in turn.
    std::vector<std::string> fleet = {VELLMARK_CLI, "send",   file, "--timeout",
                                      "2",          "--wait", "10", "--printer"};
    for (int s = 0; s < kSchedulers; ++s) {
        std::vector<int> own;
        for (int p = s; p < kAnswering; p += kSchedulers)
            own.push_back(p);
        for (int q = 0; q < kQueuesPerScheduler; ++q)
            fleet.push_back(proxies[static_cast<std::size_t>(own[q % own.size()])]->Address() +
                            "/Dotrix-" + std::to_string(q));
    }
    for (const auto& server : silent)
        fleet.push_back("127.0.0.1:" + std::to_string(server->Port()) + "/Dotrix-0");
    for (int i = 0; i < kRefusing; ++i)
        fleet.push_back("127.0.0.1:" + std::to_string(ClosedPort()) + "/Dotrix-0");

    // Exit 1: the silent and refusing servers' printers are not sent.
    const double whole = Timed(fleet, 1);
    const double one = Timed({VELLMARK_CLI, "send", file, "--timeout", "2", "--wait", "10",
                              "--printer", proxies.front()->Address() + "/Dotrix-0"},
                             0);
    const double bound = kTimeout + kTimeout + kWait + 1;
    std::printf("100 servers (10 silent, 5 refusing), 200 printers reading a job in 1 s: "
                "%.2f s; bound (--timeout 2 + --timeout 2 + --wait 10 + 1 s) %.0f s; "
                "one send to one queue %.2f s; ratio to one send %.2f\n",
                whole, bound, one, whole / one);

    // The first printer also got the single send's job.
    const int exact = ExactPrinters(spoolers, [](std::size_t i) { return i == 0 ? 2 : 1; });
    const std::size_t printers = spoolers.printers.size();
    std::printf("printers with exactly their jobs of the 180 bytes: %d of %zu\n", exact, printers);
    proxies.clear();
    for (auto& scheduler : schedulers)
        scheduler->Stop();
    return whole > 0 && one > 0 && whole < bound && exact == static_cast<int>(printers) ? 0 : 1;
}
