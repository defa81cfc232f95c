// SPDX-License-Identifier: Apache-2.0
// The plan of a send: which printers of which servers get a job.
#pragma once

#include "FleetOptions.h"
#include "FleetReport.h"
#include "FleetServers.h"

#include <optional>
#include <string>
#include <vector>

namespace vellmark::cli {

// One row of a send: a printer (or a queue that cannot take the job), or a server that gave
// no printer; `sendable` when a job is made for it.
struct PlannedRow {
    Server* server = nullptr;
    PrinterRow printer;
    bool sendable = false;
    ReportRow report;
};

// The printers of a send, and the servers they are on.
struct SendPlan {
    ServerList servers;
    bool several = false; // more than one server given: rows name their server
    std::vector<PlannedRow> rows;
    std::vector<std::string> notes; // same queue reached twice, and the like
};

// Names each printer to its server, asks every server needed for its list, and makes the rows
// of the report in server order and each server's list order. Nothing, with the message, when
// the names cannot be placed.
std::optional<SendPlan> Plan(const SendRequest& request, std::string& error);

} // namespace vellmark::cli
