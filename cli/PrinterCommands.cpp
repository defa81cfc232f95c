// SPDX-License-Identifier: Apache-2.0
#include "PrinterCommands.h"

#include "FleetOptions.h"
#include "FleetPlan.h"
#include "FleetReport.h"
#include "FleetSend.h"
#include "FleetServers.h"
#include "SettingValues.h"
#include "SettingsCommands.h"
#include "SettingsDocument.h"
#include "SettingsFile.h"

#include <cstddef>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

namespace vellmark::cli {
namespace {

// One line on a stream, escaped.
void Line(std::ostream& out, const std::string& text) {
    out << EscapedLine(text) << '\n';
}

} // namespace

int RunPrintersCommand(const std::vector<std::string>& args) {
    std::string error;
    const auto options = ParsePrintersOptions(args, error);
    if (!options)
        return Fail(error);
    ServerList list;
    for (const std::string& server : options->servers)
        list.Add(server);
    auto& servers = list.All();
    const bool several = servers.size() > 1;
    Discover(servers, options->timeout);

    bool anyUsable = false, anyFailure = false;
    for (const auto& server : servers) {
        anyUsable = anyUsable || server->AnyUsable();
        if (!server->listFailure.empty()) {
            anyFailure = true;
            Line(std::cerr, "vellmark-cli: " + server->listFailure);
        }
    }
    if (!anyUsable && !anyFailure)
        Line(std::cerr, "vellmark-cli: " + NoUsableQueue() +
                            (several ? std::string() : " at " + servers.front()->name));

    const int status = anyFailure || !anyUsable ? 1 : 0;
    if (options->json) {
        // One object per queue of the model; a server that gave no list has one object with
        // its error.
        std::cout << "[";
        bool first = true;
        for (const auto& server : servers) {
            auto open = [&] {
                std::cout << (first ? "\n " : ",\n ")
                          << "{\"server\": " << JsonQuoted(server->name);
                first = false;
            };
            if (!server->listFailure.empty()) {
                open();
                std::cout << ", \"error\": " << JsonQuoted(server->listFailure) << "}";
            }
            for (const QueueOfModel& q : server->queues) {
                open();
                std::cout << ", \"name\": " << JsonQuoted(q.row.name)
                          << ", \"destination\": " << JsonQuoted(q.row.destination)
                          << ", \"usable\": " << (q.refusal.empty() ? "true" : "false")
                          << ", \"reason\": "
                          << (q.refusal.empty() ? "null" : JsonQuoted(q.refusal)) << "}";
            }
        }
        std::cout << (first ? "]\n" : "\n]\n");
        return status;
    }
    std::vector<std::vector<std::string>> lines;
    for (const auto& server : servers) {
        for (const QueueOfModel& q : server->queues) {
            std::vector<std::string> line;
            if (several)
                line.push_back(EscapedLine(server->name));
            line.push_back(EscapedLine(q.row.name));
            line.push_back(EscapedLine(q.row.destination));
            if (!q.refusal.empty())
                line.push_back(EscapedLine("not usable: " + q.refusal));
            lines.push_back(std::move(line));
        }
    }
    PrintColumns(lines);
    return status;
}

int RunSendCommand(const std::vector<std::string>& args) {
    std::string error;
    const auto request = ParseSendOptions(args, error);
    if (!request)
        return Fail(error);
    SettingsDocument loaded;
    FileError why;
    if (ReadSettingsFile(request->file, loaded, &why) != ReadResult::Loaded)
        return Fail(ReadFailure(request->file, why.error));

    auto plan = Plan(*request, error);
    if (!plan)
        return Fail(error);
    const auto& servers = plan->servers.All();
    // One server that gave no list: one line naming it and the reason, as for printers (and
    // with --json, its row as well).
    if (!plan->several && servers.size() == 1 && !servers.front()->listFailure.empty()) {
        Line(std::cerr, "vellmark-cli: " + servers.front()->listFailure);
        if (!request->fleet.json)
            return 1;
    }
    for (const std::string& note : plan->notes)
        Line(std::cerr, "vellmark-cli: " + note);

    std::vector<PlannedRow>& rows = plan->rows;
    std::mutex progressMutex;
    std::size_t finished = 0;
    auto progress = [&](PlannedRow& row) {
        std::lock_guard lock(progressMutex);
        ++finished;
        if (rows.size() > 1)
            std::cerr << ProgressLine(finished, rows.size(), row.report) << '\n';
    };
    const int signal = SendAndFollow(rows, loaded, *request, progress);
    std::vector<ReportRow> report;
    for (const PlannedRow& row : rows)
        report.push_back(row.report);
    const int status = PrintSendReport(report, request->fleet.json, request->dryRun);
    return signal ? 128 + signal : status;
}

} // namespace vellmark::cli
