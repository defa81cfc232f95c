// SPDX-License-Identifier: Apache-2.0
#include "FleetServers.h"

#include <algorithm>
#include <condition_variable>
#include <iostream>
#include <sys/resource.h>
#include <thread>

namespace vellmark::cli {
namespace {

// The shortest time between two progress lines of the listing.
constexpr std::chrono::milliseconds kProgressEvery{500};

// Every server and printer at once needs a connection each: allow as many open files as the
// system lets this process have.
void RaiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// The queues of the model on one server, from its list: the usable ones as the selection lists
// them, and the ones that cannot take the job with the spooler's reason, in list order.
void ReadQueues(Server& server, const PrinterList& list, PlatformPath path) {
    for (const PrinterRow& row : BuildRows(list.records, path))
        server.queues.push_back({row, {}});
    for (const PrinterRecord& record : list.records)
        if (IsModelDriver(record.driverName) && !IsListedOnPath(record, path))
            server.queues.push_back(
                {{record.name, DestinationOf(record, path), record.deviceUri},
                 record.refusal.empty() ? "the queue cannot take jobs" : record.refusal});
    std::stable_sort(server.queues.begin(), server.queues.end(),
                     [](const QueueOfModel& a, const QueueOfModel& b) {
                         return RowNameLess(a.row.name, b.row.name);
                     });
    for (const PrinterRecord& record : list.records)
        if (!record.uuid.empty())
            server.uuids[record.name] = record.uuid;
    server.peer = list.peer;
    server.listFailure = list.failure;
}

} // namespace

std::string NoUsableQueue() {
    return "no usable queue of the model \"" + std::string(kModelDriverName) + "\"";
}

void RunAtOnce(std::size_t count, const std::function<void(std::size_t)>& work) {
    if (count == 1) {
        work(0);
        return;
    }
    std::vector<std::thread> workers;
    workers.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        workers.emplace_back(work, i);
    for (std::thread& worker : workers)
        worker.join();
}

void Discover(std::vector<std::unique_ptr<Server>>& servers, std::chrono::milliseconds timeout) {
    RaiseOpenFileLimit();
    std::mutex mutex;
    std::condition_variable allDone;
    std::size_t done = 0;
    std::thread progress;
    if (servers.size() > 1)
        progress = std::thread([&] {
            std::unique_lock lock(mutex);
            while (!allDone.wait_for(lock, kProgressEvery, [&] { return done == servers.size(); }))
                std::cerr << "listing: " << done << " of " << servers.size()
                          << " servers answered\n";
        });
    RunAtOnce(servers.size(), [&](std::size_t i) {
        Server& server = *servers[i];
        CupsPrintService service(server.name, timeout);
        ReadQueues(server, service.EnumPrinters(), service.Platform());
        std::lock_guard lock(mutex);
        if (++done == servers.size())
            allDone.notify_all();
    });
    if (progress.joinable())
        progress.join();
}

} // namespace vellmark::cli
