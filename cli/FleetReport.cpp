// SPDX-License-Identifier: Apache-2.0
#include "FleetReport.h"

#include "SettingValues.h"

#include <algorithm>
#include <iostream>

namespace vellmark::cli {
namespace {

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

const char* OutcomeWord(Outcome outcome) {
    constexpr const char* kWords[] = {"completed", "queued", "not sent", "unknown", "would send"};
    return kWords[static_cast<std::size_t>(outcome)];
}

std::string ProgressLine(std::size_t finished, std::size_t total, const ReportRow& row) {
    return EscapedLine(std::to_string(finished) + "/" + std::to_string(total) + " " +
                       OutcomeWord(row.result.outcome) + ": " + row.label);
}

void PrintColumns(const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& line : lines) {
        widths.resize(std::max(widths.size(), line.size()));
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], DisplayWidth(line[i]));
    }
    for (const auto& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            std::cout << line[i];
            if (i + 1 < line.size())
                std::cout << std::string(widths[i] - DisplayWidth(line[i]) + 2, ' ');
        }
        std::cout << '\n';
    }
}

int PrintSendReport(const std::vector<ReportRow>& rows, bool json, bool dryRun) {
    std::size_t printers = 0, completed = 0, queued = 0, failed = 0, serverRows = 0;
    std::vector<std::string> servers;
    for (const ReportRow& r : rows) {
        if (std::find(servers.begin(), servers.end(), r.server) == servers.end())
            servers.push_back(r.server);
        const Outcome outcome = r.result.outcome;
        if (r.queue.empty()) {
            ++serverRows;
            continue;
        }
        ++printers;
        completed += outcome == Outcome::Completed || outcome == Outcome::WouldSend;
        queued += outcome == Outcome::Queued;
        failed += outcome == Outcome::NotSent || outcome == Outcome::Unknown;
    }
    auto jobText = [](const SendResult& r) {
        std::string text;
        if (r.jobId > 0)
            text = "job " + std::to_string(r.jobId);
        for (const int older : r.replaced)
            text +=
                (text.empty() ? "" : ", ") + std::string("replaces job ") + std::to_string(older);
        return text.empty() ? text : " (" + text + ")";
    };
    if (json) {
        std::cout << "[";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ReportRow& row = rows[i];
            const SendResult& r = row.result;
            std::cout << (i ? ",\n " : "\n ") << "{\"server\": " << JsonQuoted(row.server)
                      << ", \"queue\": " << (row.queue.empty() ? "null" : JsonQuoted(row.queue))
                      << ", \"outcome\": " << JsonQuoted(OutcomeWord(r.outcome))
                      << ", \"job\": " << (r.jobId > 0 ? std::to_string(r.jobId) : "null")
                      << ", \"replaced\": [";
            for (std::size_t k = 0; k < r.replaced.size(); ++k)
                std::cout << (k ? ", " : "") << r.replaced[k];
            std::cout << "], \"reason\": " << JsonQuoted(r.reason) << "}";
        }
        std::cout << (rows.empty() ? "]\n" : "\n]\n");
    } else {
        for (const ReportRow& row : rows)
            std::cout << EscapedLine(row.label + ": " + OutcomeWord(row.result.outcome) +
                                     jobText(row.result) +
                                     (row.result.reason.empty() ? "" : ": " + row.result.reason))
                      << '\n';
    }
    if (rows.size() > 1) {
        // Printers and servers are counted apart: a server's own row is no printer.
        std::string summary = std::to_string(completed) + " of " +
                              Plural(printers, "printer", "printers") +
                              (dryRun ? " would get the settings" : " completed");
        if (queued)
            summary += ", " + std::to_string(queued) + " queued";
        if (failed)
            summary += ", " + std::to_string(failed) + " not sent or unknown";
        if (serverRows)
            summary += "; " + std::to_string(serverRows) + " of " +
                       Plural(servers.size(), "server", "servers") + " gave no printer";
        std::cerr << EscapedLine(summary) << '\n';
    }
    if (failed || serverRows)
        return 1;
    return queued ? 3 : 0;
}

} // namespace vellmark::cli
