#include "SelectionRules.h"

#include <algorithm>

namespace vellmark {
namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
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

bool RowNameLess(const std::string& a, const std::string& b) {
    const bool folded =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                     [](char x, char y) { return FoldAscii(x) < FoldAscii(y); });
    if (folded)
        return true;
    const bool foldedReverse =
        std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                     [](char x, char y) { return FoldAscii(x) < FoldAscii(y); });
    return !foldedReverse && a < b;
}

std::vector<PrinterRow> BuildRows(const std::vector<PrinterRecord>& records, PlatformPath path) {
    std::vector<PrinterRow> rows;
    for (const PrinterRecord& record : records) {
        if (IsListedOnPath(record, path))
            rows.push_back({record.name, DestinationOf(record, path)});
    }
    // Each row keeps its own destination, also when two queues share a name.
    std::stable_sort(rows.begin(), rows.end(), [](const PrinterRow& a, const PrinterRow& b) {
        return RowNameLess(a.name, b.name);
    });
    return rows;
}

std::vector<PrinterRow> DiscoverRows(PrintService& service) {
    return BuildRows(service.EnumPrinters(), service.Platform());
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
