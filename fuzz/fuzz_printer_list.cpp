// SPDX-License-Identifier: Apache-2.0
// Arbitrary bytes as a scheduler's answer to the queue list, and as a server address. Whatever
// a scheduler sends, reading its list must not crash, and every record it yields has a name;
// every address that parses has a host and a port in range (0 only for a socket path).
#include "CupsConnection.h"
#include "CupsPrintService.h"
#include "SelectionRules.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset = 0;
};

ssize_t ReadInput(void* context, ipp_uchar_t* buffer, size_t bytes) {
    auto* input = static_cast<Input*>(context);
    const std::size_t count = std::min(bytes, input->size - input->offset);
    std::memcpy(buffer, input->data + input->offset, count);
    input->offset += count;
    return static_cast<ssize_t>(count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input{data, size};
    vellmark::IppPtr response(ippNew());
    if (ippReadIO(&input, &ReadInput, 1, nullptr, response.get()) == IPP_STATE_DATA) {
        const auto records = vellmark::ReadPrinterRecords(response.get());
        for (const vellmark::PrinterRecord& record : records)
            if (record.name.empty())
                std::abort();
        // The rows built from them are ordered, whatever the names' bytes.
        const auto rows = vellmark::BuildRows(records, vellmark::PlatformPath::NT);
        for (std::size_t i = 1; i < rows.size(); ++i)
            if (vellmark::RowNameLess(rows[i].name, rows[i - 1].name))
                std::abort();
    }

    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto address = vellmark::ParseServerAddress(text)) {
        const bool socket = !text.empty() && text.front() == '/';
        if (address->host.empty() || address->port < 0 || address->port > 65535 ||
            (address->port == 0) != socket)
            std::abort();
    }
    return 0;
}
