// SPDX-License-Identifier: Apache-2.0
#include "FleetReport.h"

#include "SettingValues.h"

#include <algorithm>
#include <iostream>

namespace vellmark::cli {
namespace {

// The columns a text takes on a terminal: East Asian wide and full-width characters take two,
// combining marks none, every other character one. Bytes that are not UTF-8 count one each.
std::size_t DisplayWidth(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        bool valid = length != 0 && i + length <= text.size();
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            ++width;
            ++i;
            continue;
        }
        i += length;
        if ((code >= 0x0300 && code <= 0x036F) || (code >= 0x3099 && code <= 0x309A) ||
            code == 0x200B || (code >= 0xFE00 && code <= 0xFE0F))
            continue;
        const bool wide =
            (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0x303E) ||
            (code >= 0x3041 && code <= 0x33FF) || (code >= 0x3400 && code <= 0x4DBF) ||
            (code >= 0x4E00 && code <= 0x9FFF) || (code >= 0xA000 && code <= 0xA4CF) ||
            (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
            (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
            (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x1F300 && code <= 0x1F64F) ||
            (code >= 0x20000 && code <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

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
