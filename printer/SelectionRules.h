// SPDX-License-Identifier: Apache-2.0
// The rules that turn the spooler's queue records into the rows of the printer selection:
// which queues qualify, what their destination text is, and in which order they are listed.
// Plain functions, apart from any widget.
#pragma once

#include "PrintService.h"
#include "PrinterRecord.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vellmark {

struct PrinterRow {
    std::string name;           // column 0, "プリンタ名"
    std::string destination;    // column 1, "接続先", as the selection hands it on
    std::string deviceUri = {}; // the full device URI (empty when the service has none)
    bool operator==(const PrinterRow&) const = default;
};

// Exact, case-sensitive comparison with the model's driver name.
bool IsModelDriver(std::string_view driverName);
// Exact, case-sensitive comparison with "FILE:".
bool IsFileDestination(std::string_view destination);

// Whether a queue of the model is offered on the given path: on the NT family path when it
// can be opened with use access, on the other path when the user-intervention status bit is
// clear (no open is tried there).
bool IsListedOnPath(const PrinterRecord& record, PlatformPath path);

// The destination text: the server name for a connection whose attributes are exactly the
// network attribute (NT family path only), otherwise the port.
std::string DestinationOf(const PrinterRecord& record, PlatformPath path);

// Whether a queue's user lists let `user` (a member of `groups`) print: with an allow list the
// user must be on it, with a deny list the user must not be. An entry is a user name (letter
// case ignored) or "@group".
bool UserListsAllow(std::string_view user, const std::vector<std::string>& groups,
                    const std::vector<std::string>& allowed,
                    const std::vector<std::string>& denied);

// Whether two queue names name the same queue: the spooler matches names without regard to
// ASCII letter case.
bool SameQueueName(std::string_view a, std::string_view b);

// Row order of the list: ascending by name as unsigned bytes, ignoring ASCII letter case, then
// byte order; so names in UTF-8 come after ASCII names.
bool RowNameLess(const std::string& a, const std::string& b);

// The rows of the selection, filtered and in list order.
std::vector<PrinterRow> BuildRows(const std::vector<PrinterRecord>& records, PlatformPath path);
// The rows of one enumeration, or why the spooler could not be asked (then no rows).
struct DiscoveredRows {
    std::vector<PrinterRow> rows;
    std::string failure; // empty when the list was read, an empty list included

    bool Failed() const { return !failure.empty(); }
};

// One enumeration of the service, then BuildRows.
DiscoveredRows DiscoverRows(PrintService& service);

// The row to pre-select: the lowest-numbered row named exactly `current`, otherwise row 0.
std::size_t PreselectRow(const std::vector<PrinterRow>& rows, const std::string& current);

// Index of the first row whose destination is not "FILE:", or rows.size() when there is none.
std::size_t FirstNonFileRow(const std::vector<PrinterRow>& rows);

} // namespace vellmark
