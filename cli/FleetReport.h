// SPDX-License-Identifier: Apache-2.0
// What the printer commands print: the rows of a send's report (one line or JSON object per
// printer, and per server that gave none), its summary and exit status, and text columns.
#pragma once

#include "SelectionRules.h"

#include <string>
#include <vector>

namespace vellmark::cli {

// What became of the settings on one printer, and the word the report gives it.
enum class Outcome { Completed, Queued, NotSent, Unknown, WouldSend };
const char* OutcomeWord(Outcome outcome);

// The outcome of one send: what became of the job, its number (0: no job) and the earlier
// settings jobs it replaced, and the spooler's reason.
struct SendResult {
    Outcome outcome = Outcome::NotSent;
    int jobId = 0;
    std::vector<int> replaced;
    std::string reason;
};

// One row of the send report: a printer, or a server that gave no printer (empty queue).
struct ReportRow {
    std::string server;
    std::string queue;
    std::string label; // how the text report names the row
    SendResult result;
};

// The report on standard output (lines or one JSON document) and the summary on standard
// error; returns the exit status: 1 when any printer or server failed, else 3 when any job is
// still queued, else 0.
int PrintSendReport(const std::vector<ReportRow>& rows, bool json, bool dryRun);

// The progress line of a finished row: "3/80 completed: LABEL".
std::string ProgressLine(std::size_t finished, std::size_t total, const ReportRow& row);

// Lines of columns, each column as wide as its widest text on a terminal; the texts are
// already escaped.
void PrintColumns(const std::vector<std::vector<std::string>>& lines);

} // namespace vellmark::cli
