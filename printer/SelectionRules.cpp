// SPDX-License-Identifier: Apache-2.0
#include "SelectionRules.h"

#include <algorithm>

namespace vellmark {
namespace {

unsigned char FoldAscii(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

bool OnList(std::string_view user, const std::vector<std::string>& groups,
            const std::vector<std::string>& list) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& entry) {
        if (!entry.empty() && entry.front() == '@')
            return std::find(groups.begin(), groups.end(), entry.substr(1)) != groups.end();
        return EqualIgnoringAsciiCase(user, entry);
    });
}

} // namespace

bool IsModelDriver(std::string_view driverName) {
    return driverName == kModelDriverName;
}

bool IsFileDestination(std::string_view destination) {
    return destination == kFileDestination;
}

bool IsListedOnPath(const PrinterRecord& record, PlatformPath path) {
    if (!IsModelDriver(record.driverName))
        return false;
    if (path == PlatformPath::NT)
        return record.openForUse;
    return (record.status & kStatusUserIntervention) == 0;
}

std::string DestinationOf(const PrinterRecord& record, PlatformPath path) {
    if (path == PlatformPath::NT && record.attributes == kAttributeNetwork)
        return record.server;
    return record.port;
}

bool UserListsAllow(std::string_view user, const std::vector<std::string>& groups,
                    const std::vector<std::string>& allowed,
                    const std::vector<std::string>& denied) {
    if (!allowed.empty() && !OnList(user, groups, allowed))
        return false;
    return !OnList(user, groups, denied);
}

bool SameQueueName(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

bool RowNameLess(const std::string& a, const std::string& b) {
    const auto foldedLess = [](char x, char y) { return FoldAscii(x) < FoldAscii(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), foldedLess))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), foldedLess))
        return false;
    // Equal but for letter case: byte order, as unsigned bytes.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

std::vector<PrinterRow> BuildRows(const std::vector<PrinterRecord>& records, PlatformPath path) {
    std::vector<PrinterRow> rows;
    for (const PrinterRecord& record : records) {
        if (IsListedOnPath(record, path))
            rows.push_back({record.name, DestinationOf(record, path), record.deviceUri});
    }
    // Each row keeps its own destination, also when two queues share a name.
    std::stable_sort(rows.begin(), rows.end(), [](const PrinterRow& a, const PrinterRow& b) {
        return RowNameLess(a.name, b.name);
    });
    return rows;
}

DiscoveredRows DiscoverRows(PrintService& service) {
    PrinterList list = service.EnumPrinters();
    return {BuildRows(list.records, service.Platform()), std::move(list.failure)};
}

std::size_t PreselectRow(const std::vector<PrinterRow>& rows, const std::string& current) {
    if (current.empty())
        return 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].name == current)
            return i;
    }
    return 0;
}

std::size_t FirstNonFileRow(const std::vector<PrinterRow>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!IsFileDestination(rows[i].destination))
            return i;
    }
    return rows.size();
}

} // namespace vellmark
