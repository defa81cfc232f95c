// SPDX-License-Identifier: Apache-2.0
#include "FleetPlan.h"

#include "SettingValues.h"

#include <algorithm>
#include <map>
#include <utility>

namespace vellmark::cli {

std::optional<SendPlan> Plan(const SendRequest& request, std::string& error) {
    SendPlan plan;
    ServerList& list = plan.servers;
    for (const std::string& server : request.fleet.servers)
        list.Add(server);
    // A queue is named plainly for the one server, or as SERVER/QUEUE (split at the last
    // slash: queue names have none, socket paths do).
    std::vector<std::pair<std::string, std::string>> named; // server (empty: the only one), queue
    for (const std::string& name : request.names) {
        const auto slash = name.rfind('/');
        if (slash == std::string::npos) {
            named.emplace_back("", name);
            continue;
        }
        const std::string server = name.substr(0, slash);
        if (slash + 1 == name.size() || !list.Add(server)) {
            error = "not a printer on a server: " + Quoted(name) + " (SERVER/QUEUE)";
            return std::nullopt;
        }
        named.emplace_back(server, name.substr(slash + 1));
    }
    const bool plainNames =
        std::any_of(named.begin(), named.end(), [](const auto& n) { return n.first.empty(); });
    if (plainNames && list.Size() > 1) {
        error = "with several servers, name each printer as SERVER/QUEUE";
        return std::nullopt;
    }
    plan.several = list.Size() > 1;
    auto& all = list.All();
    for (const auto& [server, queue] : named)
        (server.empty() ? *all.front() : *list.Find(server)).named.push_back(queue);
    // Printers named as SERVER/QUEUE: only their servers are asked.
    if (!request.all && !plainNames)
        list.DropIf([](const Server& s) { return s.named.empty(); });
    auto& servers = list.All();
    Discover(servers, request.fleet.timeout);

    // The same queue under two names of one server (the same printer-uuid, reached on the same
    // machine) gets one job: the first. A uuid claimed on another machine merges nothing.
    std::map<std::string, std::string> seen; // uuid and machine -> the label first met under
    auto firstTime = [&](const Server& server, const PrinterRow& row) {
        const auto uuid = server.uuids.find(row.name);
        const std::string label = server.name + "/" + row.name;
        if (uuid == server.uuids.end() || server.peer.empty())
            return true;
        const auto [first, fresh] = seen.emplace(uuid->second + " " + server.peer, label);
        if (!fresh && first->second != label)
            plan.notes.push_back(label + " is the same queue as " + first->second +
                                 ": it gets one job");
        return fresh;
    };
    auto add = [&](Server& server, const std::string& queue, const PrinterRow& printer,
                   bool sendable, const std::string& reason) {
        PlannedRow row;
        row.server = &server;
        row.printer = printer;
        row.sendable = sendable;
        row.report.server = server.name;
        row.report.queue = queue;
        row.report.label = !plan.several ? (queue.empty() ? server.name : queue)
                                         : server.name + (queue.empty() ? "" : "/" + queue);
        row.report.result.reason = reason;
        plan.rows.push_back(row);
    };
    for (auto& owned : servers) {
        Server& server = *owned;
        bool anyRow = false;
        if (request.all && server.listFailure.empty()) {
            for (const QueueOfModel& q : server.queues) {
                if (IsFileDestination(q.row.destination))
                    continue;
                anyRow = true;
                if (!q.refusal.empty())
                    add(server, q.row.name, q.row, false, q.refusal);
                else if (firstTime(server, q.row))
                    add(server, q.row.name, q.row, true, {});
            }
        }
        for (const std::string& queue : server.named) {
            anyRow = true;
            const QueueOfModel* q = server.listFailure.empty() ? server.Find(queue) : nullptr;
            if (!server.listFailure.empty())
                add(server, queue, {queue, ""}, false, server.listFailure);
            else if (!q)
                add(server, queue, {queue, ""}, false,
                    "not a queue of the model \"" + std::string(kModelDriverName) + "\"");
            else if (!q->refusal.empty())
                add(server, q->row.name, q->row, false, q->refusal);
            else if (IsFileDestination(q->row.destination))
                add(server, q->row.name, q->row, false, "the queue prints to a file (FILE:)");
            else if (firstTime(server, q->row))
                add(server, q->row.name, q->row, true, {});
        }
        // A server that gave no printer has a row of its own.
        if (request.all && !anyRow)
            add(server, "", {}, false,
                !server.listFailure.empty() ? server.listFailure : NoUsableQueue());
    }
    return plan;
}

} // namespace vellmark::cli
